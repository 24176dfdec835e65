#pragma once
// The map made into the scene: read by the one map reader (scene/map_file.h), a refusal reported,
// the textures made.
#include "platform/d3dx.h"
#include "platform/texture_cache.h"
#include "scene/map_reader.h"

// Takes what was read: a refusal is written to stderr as its one line, and leaves the scene empty.
// Otherwise makes each name's texture on the device, in name order, sharing those the cache
// already holds (slots naming one file share its texture); the slots of a name whose texture
// cannot be made stay null, with one warning at its first line. An empty name is a slot without an
// image. With no device the slots all stay null, and nothing is opened or said.
bool LoadMap(IDirect3DDevice9* device, SceneData& scene, MapRead read, TextureCache& cache);
