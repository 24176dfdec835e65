// One pass over the triangles, then one over the vertices and one over the slots.
#include "map_tool/geometry_check.h"

#include <algorithm>
#include <limits>

namespace {

// Corners on one line: the cross product of two sides is zero, worked out in double.
bool HasZeroArea(const Vertex& a, const Vertex& b, const Vertex& c) {
    const double ab[3] = {double{b.x} - a.x, double{b.y} - a.y, double{b.z} - a.z};
    const double ac[3] = {double{c.x} - a.x, double{c.y} - a.y, double{c.z} - a.z};
    return ab[1] * ac[2] == ab[2] * ac[1] && ab[2] * ac[0] == ab[0] * ac[2] && ab[0] * ac[1] == ab[1] * ac[0];
}

void Extend(Box& box, const Vertex& v) {
    const float position[3] = {v.x, v.y, v.z};
    for (int k = 0; k < 3; ++k) {
        box.low[k] = std::min(box.low[k], position[k]);
        box.high[k] = std::max(box.high[k], position[k]);
    }
}

}  // namespace

void Sample::Add(std::int32_t number) {
    ++count;
    if (first.size() < kKept) first.push_back(number);
}

GeometryCheck CheckGeometry(const SceneData& scene) {
    GeometryCheck check;
    check.drawCalls = static_cast<std::int64_t>(scene.runs.size());
    check.bounds.low.fill(std::numeric_limits<float>::infinity());
    check.bounds.high.fill(-std::numeric_limits<float>::infinity());
    std::vector<bool> vertexUsed(static_cast<std::size_t>(scene.vertexCount));
    std::vector<bool> textureUsed(static_cast<std::size_t>(scene.textureCount));
    for (std::int32_t t = 0; t < scene.triangleCount; ++t) {
        const std::size_t face = static_cast<std::size_t>(t);
        const std::int32_t texture = scene.faces[face].textureIndex;
        if (!textureUsed[static_cast<std::size_t>(texture)]) {
            textureUsed[static_cast<std::size_t>(texture)] = true;
            ++check.texturesUsed;
        }
        const std::int32_t* corner = &scene.indices[3 * face];
        for (int k = 0; k < 3; ++k) {
            vertexUsed[static_cast<std::size_t>(corner[k])] = true;
        }
        if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) {
            check.repeatedVertex.Add(t);
        } else if (HasZeroArea(scene.vertices[static_cast<std::size_t>(corner[0])],
                               scene.vertices[static_cast<std::size_t>(corner[1])],
                               scene.vertices[static_cast<std::size_t>(corner[2])])) {
            check.zeroArea.Add(t);
        }
    }
    for (std::int32_t v = 0; v < scene.vertexCount; ++v) {
        if (vertexUsed[static_cast<std::size_t>(v)]) {
            Extend(check.bounds, scene.vertices[static_cast<std::size_t>(v)]);
        } else {
            check.unusedVertices.Add(v);
        }
    }
    for (std::int32_t s = 0; s < scene.textureCount; ++s) {
        if (!textureUsed[static_cast<std::size_t>(s)]) check.unusedTextures.Add(s);
    }
    const float start[3] = {scene.startPosition.x, scene.startPosition.y, scene.startPosition.z};
    check.startInside = true;
    for (int k = 0; k < 3; ++k) {
        check.startInside =
            check.startInside && start[k] >= check.bounds.low[k] && start[k] <= check.bounds.high[k];
    }
    return check;
}
