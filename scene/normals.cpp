// Smooth normals in one pass over the triangles: each vertex sums the unit normals of its
// triangles in triangle order, which gives the same floats as searching every triangle per vertex.
#include "scene/normals.h"

namespace {

Vec3 Position(const Vertex& v) {
    return {v.x, v.y, v.z};
}

void AddNormal(Vertex& v, const Vec3& n) {
    v.nx = v.nx + n.x;
    v.ny = v.ny + n.y;
    v.nz = v.nz + n.z;
}

}  // namespace

void GenerateNormals(SceneData& scene) {
    Vertex* vertices = scene.vertices.data();
    for (std::int32_t i = 0; i < scene.vertexCount; ++i) {
        vertices[i].nx = vertices[i].ny = vertices[i].nz = 0.0f;
    }
    const std::int32_t* indices = scene.indices.data();
    for (std::int32_t t = 0; 3 * t < scene.indexCount; ++t) {
        const std::int32_t a = indices[3 * t];
        const std::int32_t b = indices[3 * t + 1];
        const std::int32_t c = indices[3 * t + 2];
        const Vec3 p0 = Position(vertices[a]);
        const Vec3 e1 = Position(vertices[b]) - p0;
        const Vec3 e2 = Position(vertices[c]) - p0;
        const Vec3 n = Cross(e1, e2);
        const Vec3 faceNormal = Normalized(n);
        scene.faces[t].normal = faceNormal;
        AddNormal(vertices[a], faceNormal);
        if (b != a) {
            AddNormal(vertices[b], faceNormal);
        }
        if (c != a && c != b) {
            AddNormal(vertices[c], faceNormal);
        }
    }
    for (std::int32_t i = 0; i < scene.vertexCount; ++i) {
        Vertex& v = vertices[i];
        const Vec3 normal = Normalized(Vec3{v.nx, v.ny, v.nz});
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
    }
}
