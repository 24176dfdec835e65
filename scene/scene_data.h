#pragma once
// The scene model: what "map.txt" describes, held for the life of the process.
#include <cstdint>
#include <vector>

#include "platform/d3dx.h"
#include "platform/large_array.h"

// The vertex as the device sees it (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32 bytes).
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(Vertex) == 32);

template <typename T>
using SceneArray = std::vector<T, LargeArrayAllocator<T>>;

constexpr DWORD kVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct FaceRecord {
    Vec3 normal;
    std::int32_t textureIndex;
};

// A stretch of triangles with one texture number, in file order: one draw call.
struct TextureRun {
    std::int32_t firstTriangle;
    std::int32_t triangles;
    std::int32_t textureIndex;
};

struct SceneData {
    Vec3 startPosition;
    std::int32_t triangleCount = 0;
    std::int32_t indexCount = 0;
    SceneArray<std::int32_t> indices;  // freed once on the device
    SceneArray<FaceRecord> faces;
    std::vector<TextureRun> runs;  // found by the reader
    std::int32_t vertexCount = 0;
    SceneArray<Vertex> vertices;  // freed once on the device
    std::int32_t textureCount = 0;
    std::vector<IDirect3DTexture9*> textures;  // a slot is null when its image did not load
};

extern SceneData gScene;

// Finds the runs once, as the map is read, so that a frame does not scan every triangle for them.
void FindTextureRuns(SceneData& scene);
