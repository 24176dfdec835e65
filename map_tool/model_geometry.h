#pragma once
// The model's triangles gathered into one list, as the viewer draws them: every mesh of every node
// with the nodes' transforms applied, the first texture coordinates, and the triangles of two-sided
// materials a second time the other way round.
#include <cstdint>

#include "map_tool/map_content.h"

struct aiScene;

struct ModelGeometry {
    std::vector<MapTriangle> triangles;  // texture holds the material's index
    std::vector<MapVertex> vertices;     // in the model's units; only those the triangles use
    std::uint64_t points = 0;            // dropped: the map holds triangles only
    std::uint64_t lines = 0;
    std::uint64_t nonFiniteVertices = 0;  // refused, with the triangles that use them
    std::uint64_t nonFiniteTriangles = 0;
};

// The scene as aiProcess_Triangulate and aiProcess_ValidateDataStructure leave it.
ModelGeometry CollectGeometry(const aiScene& scene);
