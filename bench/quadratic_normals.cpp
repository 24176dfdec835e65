// Face normals in triangle order, then for each vertex the sum of the normals of the triangles
// that name it, found by searching all of them.
#include "bench/quadratic_normals.h"

void GenerateNormalsQuadratic(SceneData& scene) {
    const std::int32_t* indices = scene.indices.data();
    for (std::int32_t t = 0; 3 * t < scene.indexCount; ++t) {
        const Vertex& p0 = scene.vertices[indices[3 * t]];
        const Vertex& p1 = scene.vertices[indices[3 * t + 1]];
        const Vertex& p2 = scene.vertices[indices[3 * t + 2]];
        const Vec3 e1 = Vec3{p1.x, p1.y, p1.z} - Vec3{p0.x, p0.y, p0.z};
        const Vec3 e2 = Vec3{p2.x, p2.y, p2.z} - Vec3{p0.x, p0.y, p0.z};
        const Vec3 n = Cross(e1, e2);
        D3DXVec3Normalize(&scene.faces[t].normal, &n);
    }
    for (std::int32_t v = 0; v < scene.vertexCount; ++v) {
        Vec3 sum{0.0f, 0.0f, 0.0f};
        for (std::int32_t t = 0; 3 * t < scene.indexCount; ++t) {
            if (indices[3 * t] == v || indices[3 * t + 1] == v || indices[3 * t + 2] == v) {
                sum = sum + scene.faces[t].normal;
            }
        }
        D3DXVec3Normalize(&sum, &sum);
        Vertex& vertex = scene.vertices[v];
        vertex.nx = sum.x;
        vertex.ny = sum.y;
        vertex.nz = sum.z;
    }
}
