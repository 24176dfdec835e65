#include "map_tool/map_placement.h"

#include <algorithm>
#include <cmath>

#include "scene/view_limits.h"

namespace {

// A little room around the model at the start, so that its edges do not touch the screen's.
constexpr double kStartMargin = 1.1;
// A flat or tiny model is still seen from well beyond the viewer's near plane.
constexpr double kLeastDistance = 10.0 * kNearPlane;

bool IsFloat(double value) {
    return std::isfinite(static_cast<float>(value));
}

}  // namespace

std::size_t GroupByTexture(std::vector<MapTriangle>& triangles, std::size_t textureCount) {
    std::vector<std::size_t> first(textureCount + 1, 0);
    for (const MapTriangle& t : triangles) ++first[static_cast<std::size_t>(t.texture) + 1];
    std::size_t runs = 0;
    for (std::size_t i = 1; i <= textureCount; ++i) {
        runs += first[i] != 0;
        first[i] += first[i - 1];
    }
    std::vector<MapTriangle> grouped(triangles.size());
    for (const MapTriangle& t : triangles) grouped[first[static_cast<std::size_t>(t.texture)]++] = t;
    triangles = std::move(grouped);
    return runs;
}

bool PlaceModel(std::vector<MapVertex>& vertices, std::optional<double> scale,
                std::optional<std::array<float, 3>> start, Placement& placement, std::string& why) {
    placement.min.fill(HUGE_VAL);
    placement.max.fill(-HUGE_VAL);
    for (const MapVertex& v : vertices) {
        const double p[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            placement.min[i] = std::min(placement.min[i], p[i]);
            placement.max[i] = std::max(placement.max[i], p[i]);
        }
    }
    double extent = 0.0;
    for (int i = 0; i < 3; ++i) extent = std::max(extent, placement.max[i] - placement.min[i]);
    placement.scale = scale ? *scale : extent > 0.0 ? kDefaultExtent / extent : 1.0;
    const double s = placement.scale;
    for (int i = 0; i < 3; ++i) {
        if (!IsFloat(placement.min[i] * s) || !IsFloat(placement.max[i] * s)) {
            why = "at scale " + std::to_string(s) + " the model reaches beyond the range of a float";
            return false;
        }
    }
    for (MapVertex& v : vertices) {
        v.x = static_cast<float>(v.x * s);
        v.y = static_cast<float>(v.y * s);
        v.z = static_cast<float>(v.z * s);
    }
    if (start) {
        placement.start = *start;
        return true;
    }
    const double halfWidth = (placement.max[0] - placement.min[0]) * s / 2;
    const double halfHeight = (placement.max[1] - placement.min[1]) * s / 2;
    const double distance = std::max(
        kStartMargin * std::max(halfWidth, halfHeight) / std::tan(kFieldOfView / 2.0), kLeastDistance);
    const double at[3] = {(placement.min[0] + placement.max[0]) * s / 2,
                          (placement.min[1] + placement.max[1]) * s / 2, placement.min[2] * s - distance};
    for (int i = 0; i < 3; ++i) placement.start[i] = static_cast<float>(at[i]);
    if (!IsFloat(at[0]) || !IsFloat(at[1]) || !IsFloat(at[2])) {
        why = "the model is too large for a start position in front of it; give one with --start";
        return false;
    }
    return true;
}
