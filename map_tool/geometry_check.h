#pragma once
// What a map's triangles make of its vertices and texture slots, in one pass over each: the draw
// calls the viewer makes, what no triangle uses, triangles that show nothing, and the scene's extent.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene_data.h"

// How many there are, and the first few by number, for a report.
struct Sample {
    static constexpr std::size_t kKept = 10;
    std::int64_t count = 0;
    std::vector<std::int32_t> first;

    void Add(std::int32_t number);
};

struct Box {
    std::array<float, 3> low;
    std::array<float, 3> high;
};

struct GeometryCheck {
    std::int64_t drawCalls = 0;     // runs of one texture number, in file order, as the viewer draws
    std::int32_t texturesUsed = 0;  // distinct texture numbers: the draw calls left if grouped by texture
    Sample unusedVertices;
    Sample unusedTextures;
    Sample repeatedVertex;  // triangles naming one vertex twice
    Sample zeroArea;        // the other triangles whose corners lie on one line
    Box bounds{};           // of the vertices that triangles use
    bool startInside = false;
};

// Of a map the viewer accepts: every index within range, at least one triangle.
GeometryCheck CheckGeometry(const SceneData& scene);
