#pragma once
// A map's scene as a model in the right-handed conventions that model files and editors use, and
// written through the Open Asset Import Library's exporter.
#include <assimp/scene.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_data.h"

// One material for each texture slot, in slot order, naming texturePaths[slot] (an empty one is
// plain white), and one mesh for each texture the triangles use, holding its triangles in file order
// and the vertices' normals as the scene holds them. The map's left-handed, clockwise, v-down
// geometry is turned back: z negated, each triangle's winding reversed, v' = 1 - v.
std::unique_ptr<aiScene> MapAsModel(const SceneData& scene, const std::vector<std::string>& texturePaths);

// The exporter's format for the output's extension (.obj, .gltf or .glb, in any letter case); null
// for any other.
const char* ModelFormat(const std::filesystem::path& output);

// Writes the model in that format; empty when it was written, else the exporter's reason.
std::string WriteModel(const aiScene& model, const char* format, const std::filesystem::path& output);
