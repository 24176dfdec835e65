#pragma once
// Each texture file a map names, found and checked as the viewer would find and load it.
#include <cstdint>
#include <string>
#include <vector>

#include "map_tool/image_check.h"
#include "scene/map_reader.h"

struct TextureFile {
    std::string name;  // as the map names it
    int line = 0;      // of the first slot naming it
    std::int32_t firstSlot = 0;
    std::int32_t slots = 0;  // how many slots name it
    std::string path;        // what the lookup found, from the map's folder; empty when nothing was
    ImageCheck image;        // a name that cannot be opened has that as its one problem
};

// One for each distinct name but the empty one, in the order of their first slots; names are looked
// up from the current folder, and each file is read once however many names lead to it.
std::vector<TextureFile> CheckTextures(const std::vector<TextureName>& names);
