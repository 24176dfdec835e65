// libFuzzer target: any bytes as the text of a map, through the map reader. Besides memory faults
// it catches a map that is read with counts or numbers the rest of the program cannot trust (out of
// range, not finite, names too long), and a refusal that leaves data behind or says nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scene/map_reader.h"
#include "scene/normals.h"

namespace {

bool IsEmpty(const MapRead& read) {
    const SceneData& scene = read.scene;
    return scene.triangleCount == 0 && scene.indexCount == 0 && scene.vertexCount == 0 &&
           scene.textureCount == 0 && scene.indices.empty() && scene.faces.empty() &&
           scene.vertices.empty() && scene.textures.empty() && read.names.empty() && !read.refusal.empty();
}

bool IsConsistent(const MapRead& read) {
    const SceneData& scene = read.scene;
    if (!std::isfinite(scene.startPosition.x) || !std::isfinite(scene.startPosition.y) ||
        !std::isfinite(scene.startPosition.z) || scene.triangleCount < 0 || scene.vertexCount < 0 ||
        scene.textureCount < 0 || scene.indexCount != 3 * scene.triangleCount ||
        scene.indices.size() != static_cast<std::size_t>(scene.indexCount) ||
        scene.faces.size() != static_cast<std::size_t>(scene.triangleCount) ||
        scene.vertices.size() != static_cast<std::size_t>(scene.vertexCount) || !scene.textures.empty() ||
        read.names.size() != static_cast<std::size_t>(scene.textureCount)) {
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
    for (const TextureName& name : read.names) {
        if (name.name.size() > kMaxNameBytes) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MapRead read = ReadMap("fuzz.txt", std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.refusal.empty() ? !IsConsistent(read) : !IsEmpty(read)) {
        std::abort();
    }
    if (read.refusal.empty()) {
        GenerateNormals(read.scene);  // reads through every index
    }
    return 0;
}
