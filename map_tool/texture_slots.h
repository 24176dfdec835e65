#pragma once
// The map's texture slots: one for each distinct image the model's materials use, written into the
// map's folder. A material without a usable image gets a small image of its colour instead.
#include <filesystem>
#include <string>
#include <vector>

#include "map_tool/map_content.h"

struct aiScene;

struct TextureSlots {
    std::vector<std::string> names;
    std::vector<std::string> warnings;
    std::vector<std::string> copied;  // the image files copied in
};

// Replaces each triangle's material index with its slot, numbered in the order of first use, and
// writes each slot's image into folder. External images are looked for beside the model. Throws
// std::runtime_error when an image cannot be written.
TextureSlots MakeTextureSlots(const aiScene& scene, const std::filesystem::path& model,
                              const std::filesystem::path& folder, std::vector<MapTriangle>& triangles);
