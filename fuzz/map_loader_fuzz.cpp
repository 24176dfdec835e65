// libFuzzer target: any bytes as the text of a map. Textures are made on a null device, so their
// creation fails without touching a file. Besides memory faults it catches a map that loads with
// counts or numbers the rest of the program cannot trust (out of range, not finite), and a refusal
// that leaves data behind.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SceneData scene;
    const bool loaded = LoadMapText("fuzz.txt", reinterpret_cast<const char*>(data), size, nullptr, scene);
    if (loaded ? !IsConsistent(scene) : !IsEmpty(scene)) {
        std::abort();
    }
    if (loaded) {
        GenerateNormals(scene);  // reads through every index
    }
    return 0;
}
