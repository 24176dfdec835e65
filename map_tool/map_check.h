#pragma once
// What an author needs to know about a map before flying through it: whether the viewer takes it,
// what it costs to draw, what its textures come to, and what in it shows nothing or shows wrong.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "map_tool/geometry_check.h"
#include "map_tool/texture_check.h"
#include "scene/map_reader.h"

// Where Direct3D 9 drivers commonly become the limit of a frame.
constexpr std::int64_t kManyDrawCalls = 3000;

struct MapCheck {
    std::string mapName;
    std::string refusal;  // the viewer's line; when it refuses the map, nothing below is filled in
    std::int32_t triangles = 0;
    std::int32_t vertices = 0;
    std::int32_t textures = 0;     // slots
    std::int32_t emptySlots = 0;   // "%%": drawn white, by design
    std::array<float, 3> start{};  // the camera's
    GeometryCheck geometry;
    std::vector<TextureFile> textureFiles;
    std::vector<std::string> warnings;  // each a sentence of its own, without "warning: "
};

// Checks a map as MapFolder::Read gives it, in the map's folder, where its texture names are looked up.
MapCheck CheckMap(const std::string& mapName, const MapRead& read);

// 0: the viewer shows the map as meant; 1: with warnings; 2: the viewer refuses it.
int ExitCode(const MapCheck& check);
