#pragma once
// What the import makes of a model: the map's records before they are written as text.
#include <cstdint>
#include <string>
#include <vector>

struct MapVertex {
    float x, y, z;
    float u, v;
};

struct MapTriangle {
    std::int32_t a, b, c;
    std::int32_t texture;  // the material's index until the texture slots are made
};

struct MapContent {
    float start[3] = {0.0f, 0.0f, 0.0f};
    std::vector<MapTriangle> triangles;
    std::vector<MapVertex> vertices;
    std::vector<std::string> textureNames;  // each a name the map reader accepts between '%' signs
};
