// libFuzzer target: any bytes as the text of a map. Textures are made on a null device, so their
// creation fails without touching a file. Besides memory faults it catches a map that loads with
// counts or numbers the rest of the program cannot trust (out of range, not finite), and a refusal
// that leaves data behind, and a vertex list read ahead on a second thread that differs from one
// read on one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scene/map_loader.h"
#include "scene/normals.h"

namespace {

bool IsEmpty(const SceneData& scene) {
    return scene.triangleCount == 0 && scene.indexCount == 0 && scene.vertexCount == 0 &&
           scene.textureCount == 0 && scene.indices.empty() && scene.faces.empty() &&
           scene.vertices.empty() && scene.textures.empty();
}

bool IsConsistent(const SceneData& scene) {
    if (!std::isfinite(scene.startPosition.x) || !std::isfinite(scene.startPosition.y) ||
        !std::isfinite(scene.startPosition.z) || scene.triangleCount < 0 || scene.vertexCount < 0 ||
        scene.textureCount < 0 || scene.indexCount != 3 * scene.triangleCount ||
        scene.indices.size() != static_cast<std::size_t>(scene.indexCount) ||
        scene.faces.size() != static_cast<std::size_t>(scene.triangleCount) ||
        scene.vertices.size() != static_cast<std::size_t>(scene.vertexCount) ||
        scene.textures.size() != static_cast<std::size_t>(scene.textureCount)) {
        return false;
    }
    for (std::int32_t index : scene.indices) {
        if (index < 0 || index >= scene.vertexCount) {
            return false;
        }
    }
    for (const FaceRecord& face : scene.faces) {
        if (face.textureIndex < 0 || face.textureIndex >= scene.textureCount) {
            return false;
        }
    }
    for (const Vertex& v : scene.vertices) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z) || !std::isfinite(v.u) ||
            !std::isfinite(v.v)) {
            return false;
        }
    }
    for (IDirect3DTexture9* texture : scene.textures) {
        if (texture != nullptr) {
            return false;
        }
    }
    return true;
}

template <typename T>
bool SameBytes(const SceneArray<T>& a, const SceneArray<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SceneData scene;
    const char* text = reinterpret_cast<const char*>(data);
    const bool loaded = LoadMapText("fuzz.txt", text, size, nullptr, scene, SIZE_MAX);
    if (loaded ? !IsConsistent(scene) : !IsEmpty(scene)) {
        std::abort();
    }
    // The vertex list read ahead on a second thread gives the same scene.
    SceneData ahead;
    if (LoadMapText("fuzz.txt", text, size, nullptr, ahead, 0) != loaded ||
        !SameBytes(ahead.vertices, scene.vertices) || !SameBytes(ahead.indices, scene.indices) ||
        !SameBytes(ahead.faces, scene.faces)) {
        std::abort();
    }
    if (loaded) {
        GenerateNormals(scene);  // reads through every index
    }
    return 0;
}
