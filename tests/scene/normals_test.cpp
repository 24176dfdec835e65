#include "scene/normals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "bench/quadratic_normals.h"

namespace {

Vertex At(float x, float y, float z) {
    return Vertex{x, y, z, 9.0f, 9.0f, 9.0f, 0.5f, 0.25f};
}

SceneData Mesh(SceneArray<Vertex> vertices, SceneArray<std::int32_t> indices) {
    SceneData scene;
    scene.vertexCount = static_cast<std::int32_t>(vertices.size());
    scene.vertices = std::move(vertices);
    scene.indexCount = static_cast<std::int32_t>(indices.size());
    scene.triangleCount = scene.indexCount / 3;
    scene.indices = std::move(indices);
    scene.faces.assign(static_cast<std::size_t>(scene.triangleCount), FaceRecord{});
    return scene;
}

TEST(GenerateNormals, AFlatQuadGivesEveryVertexTheFaceNormal) {
    // Clockwise as seen from -z, so the normal points at a viewer on that side.
    SceneData scene = Mesh({At(-1, -1, 0), At(-1, 1, 0), At(1, 1, 0), At(1, -1, 0)}, {0, 1, 2, 0, 2, 3});
    GenerateNormals(scene);
    for (const FaceRecord& face : scene.faces) EXPECT_EQ(face.normal, (Vec3{0, 0, -1}));
    for (const Vertex& v : scene.vertices) {
        EXPECT_EQ(v.nx, 0.0f);
        EXPECT_EQ(v.ny, 0.0f);
        EXPECT_EQ(v.nz, -1.0f);
        EXPECT_EQ(v.u, 0.5f);  // texture coordinates untouched
        EXPECT_EQ(v.v, 0.25f);
    }
}

TEST(GenerateNormals, ARightAngledEdgeGetsTheBisectorAndUnusedVerticesGetZero) {
    // A floor facing up and a wall facing -z share the edge from vertex 0 to vertex 1.
    SceneData scene = Mesh({At(0, 0, 0), At(1, 0, 0), At(0, 0, 1), At(0, 1, 0), At(5, 5, 5), At(2, 2, 2)},
                           {0, 2, 1, 0, 3, 1, 5, 5, 5});
    GenerateNormals(scene);
    EXPECT_EQ(scene.faces[0].normal, (Vec3{0, 1, 0}));
    EXPECT_EQ(scene.faces[1].normal, (Vec3{0, 0, -1}));
    const float h = 1.0f / std::sqrt(2.0f);
    EXPECT_FLOAT_EQ(scene.vertices[0].ny, h);
    EXPECT_FLOAT_EQ(scene.vertices[0].nz, -h);
    EXPECT_EQ(scene.faces[2].normal, (Vec3{0, 0, 0}));  // zero area: zero, not NaN
    for (int unusedOrDegenerate : {4, 5}) {
        EXPECT_EQ(scene.vertices[unusedOrDegenerate].nx, 0.0f);
        EXPECT_EQ(scene.vertices[unusedOrDegenerate].ny, 0.0f);
        EXPECT_EQ(scene.vertices[unusedOrDegenerate].nz, 0.0f);
    }
}

TEST(GenerateNormals, MatchesTheQuadraticSearchBitForBitOnRandomMeshesOnOneAndTwoThreads) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    for (int mesh = 0; mesh < 50; ++mesh) {
        // Every other mesh keeps each triangle near the one before, as real meshes do: then a thread
        // passes over long runs of triangles that use none of its vertices.
        const bool local = mesh % 2 == 1;
        const int vertexCount = 1 + static_cast<int>(rng() % (local ? 400 : 60));
        SceneArray<Vertex> vertices;
        for (int v = 0; v < vertexCount; ++v) {
            // Some vertices sit on a coarse grid so that zero-area triangles occur.
            vertices.push_back(rng() % 4 == 0 ? At(static_cast<float>(rng() % 2), 0, 0)
                                              : At(coordinate(rng), coordinate(rng), coordinate(rng)));
        }
        SceneArray<std::int32_t> indices;
        const int triangleCount = static_cast<int>(rng() % (local ? 800 : 200));
        // Few distinct indices per triangle at times: repeated vertices; some vertices stay unused.
        const auto corner = [&](int i) -> std::int32_t {
            if (rng() % 8 == 0) return indices.empty() ? 0 : indices.back();
            if (!local) return static_cast<std::int32_t>(rng() % (vertexCount * 3 / 4 + 1));
            return std::min(vertexCount - 1,
                            i / 3 * vertexCount / triangleCount + static_cast<int>(rng() % 4));
        };
        for (int i = 0; i < 3 * triangleCount; ++i) {
            indices.push_back(corner(i));
        }
        SceneData slow = Mesh(vertices, indices);
        GenerateNormalsQuadratic(slow);
        for (std::int32_t twoThreadsFrom : {kNormalsOnTwoThreadsFrom, 0}) {
            SceneData fast = Mesh(vertices, indices);
            GenerateNormals(fast, twoThreadsFrom);
            ASSERT_EQ(
                std::memcmp(fast.vertices.data(), slow.vertices.data(), vertices.size() * sizeof(Vertex)), 0)
                << "mesh " << mesh << ", two threads from " << twoThreadsFrom << " triangles";
            for (int t = 0; t < triangleCount; ++t) {
                ASSERT_EQ(std::memcmp(&fast.faces[t].normal, &slow.faces[t].normal, sizeof(Vec3)), 0)
                    << "mesh " << mesh << ", two threads from " << twoThreadsFrom << " triangles";
            }
        }
    }
}

}  // namespace
