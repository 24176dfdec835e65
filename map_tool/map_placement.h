#pragma once
// Where the model stands in the viewer's world: its triangles in one run per texture, its size
// and the camera's start in front of it.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "map_tool/map_content.h"

// The default size: the model's largest extent becomes this many units, about 200 frames' walk at
// the viewer's 0.1 units a frame, and all of it stays well inside the 100 units the viewer draws.
constexpr double kDefaultExtent = 20.0;

// Puts the triangles of each texture together, keeping their order within a texture, and gives
// the number of runs: the viewer's draw calls per frame.
std::size_t GroupByTexture(std::vector<MapTriangle>& triangles, std::size_t textureCount);

struct Placement {
    std::array<double, 3> min{}, max{};  // the model's bounds in its own units
    double scale = 1.0;
    std::array<float, 3> start{};
};

// Scales the vertices (by kDefaultExtent over the largest extent unless a scale is given) and puts
// the start on the -z side, centred in x and y, far enough back to see the whole model through the
// viewer's 45° field of view on a landscape screen, unless a start is given. False, with the
// reason, when the scaled model leaves a float's range.
bool PlaceModel(std::vector<MapVertex>& vertices, std::optional<double> scale,
                std::optional<std::array<float, 3>> start, Placement& placement, std::string& why);
