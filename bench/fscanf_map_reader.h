#pragma once
// The map read the way a naive program reads it, one fscanf call per number: the baseline the
// real reader is measured against.
#include "scene/scene_data.h"

bool LoadMapWithFscanf(const char* path, IDirect3DDevice9* device, SceneData& scene);
