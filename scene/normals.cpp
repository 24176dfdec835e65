// Smooth normals: each vertex sums the unit normals of its triangles in triangle order, which gives
// the same floats as searching every triangle per vertex. Two threads keep that order: each owns
// half of the vertices, walks all the triangles and adds only into its own vertices.
#include "scene/normals.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace {

// Triangles a thread passes over at once when none of their corners is its own.
constexpr std::int32_t kSkipTriangles = 64;

Vec3 Position(const Vertex& v) {
    return {v.x, v.y, v.z};
}

void AddNormal(Vertex& v, const Vec3& n) {
    v.nx = v.nx + n.x;
    v.ny = v.ny + n.y;
    v.nz = v.nz + n.z;
}

// Whether any index lies in first … first + count − 1; counting rather than stopping early lets the
// compiler vectorise it, so passing over a thread's foreign triangles costs little.
bool AnyIn(const std::int32_t* from, const std::int32_t* to, std::int32_t first, std::uint32_t count) {
    std::uint32_t hits = 0;
    for (const std::int32_t* i = from; i < to; ++i) {
        hits += static_cast<std::uint32_t>(*i - first) < count;
    }
    return hits != 0;
}

// Writes the normals of vertices[first … last − 1] and the face normals of the triangles whose first
// corner is one of them: what two threads with disjoint ranges write is disjoint. Positions are only
// read. A triangle with corners in both ranges has its face normal made by both threads, the same
// floats each time. With all vertices, the ownership tests fold away.
template <bool kAllVertices>
void OwnedNormals(SceneData& scene, std::int32_t first, std::int32_t last) {
    Vertex* vertices = scene.vertices.data();
    for (std::int32_t i = first; i < last; ++i) {
        vertices[i].nx = vertices[i].ny = vertices[i].nz = 0.0f;
    }
    const auto count = static_cast<std::uint32_t>(last - first);
    // Indices below first wrap round to large values.
    const auto owned = [first, count](std::int32_t i) {
        return kAllVertices || static_cast<std::uint32_t>(i - first) < count;
    };
    const std::int32_t* indices = scene.indices.data();
    FaceRecord* faces = scene.faces.data();
    const std::int32_t triangles = scene.indexCount / 3;
    for (std::int32_t run = 0; run < triangles; run += kSkipTriangles) {
        const std::int32_t end = std::min(run + kSkipTriangles, triangles);
        if (!kAllVertices && !AnyIn(indices + 3 * run, indices + 3 * end, first, count)) {
            continue;
        }
        for (std::int32_t t = run; t < end; ++t) {
            const std::int32_t a = indices[3 * t];
            const std::int32_t b = indices[3 * t + 1];
            const std::int32_t c = indices[3 * t + 2];
            const bool addA = owned(a);
            const bool addB = b != a && owned(b);
            const bool addC = c != a && c != b && owned(c);
            if (!(addA || addB || addC)) {
                continue;
            }
            const Vec3 p0 = Position(vertices[a]);
            const Vec3 e1 = Position(vertices[b]) - p0;
            const Vec3 e2 = Position(vertices[c]) - p0;
            const Vec3 faceNormal = Normalized(Cross(e1, e2));
            if (addA) {
                faces[t].normal = faceNormal;
                AddNormal(vertices[a], faceNormal);
            }
            if (addB) AddNormal(vertices[b], faceNormal);
            if (addC) AddNormal(vertices[c], faceNormal);
        }
    }
    for (std::int32_t i = first; i < last; ++i) {
        Vertex& v = vertices[i];
        const Vec3 normal = Normalized(Vec3{v.nx, v.ny, v.nz});
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
    }
}

}  // namespace

void GenerateNormals(SceneData& scene, std::int32_t twoThreadsFrom) {
    const std::int32_t vertexCount = scene.vertexCount;
    if (scene.indexCount / 3 < twoThreadsFrom || std::thread::hardware_concurrency() < 2) {
        OwnedNormals<true>(scene, 0, vertexCount);
        return;
    }
    const std::int32_t middle = vertexCount / 2;
    std::jthread helper;  // joined on return, so both halves are done by then
    try {
        helper = std::jthread([&scene, middle] { OwnedNormals<false>(scene, 0, middle); });
    } catch (const std::system_error&) {
        OwnedNormals<false>(scene, 0, middle);
    }
    OwnedNormals<false>(scene, middle, vertexCount);
}
