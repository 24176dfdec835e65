#include "scene/view_limits.h"

#include <cstdint>

namespace {

constexpr std::uint64_t kMaxBufferBytes = 0xFFFFFFFFu;

}  // namespace

std::string TooLargeForBuffers(const SceneData& scene) {
    if (static_cast<std::uint64_t>(scene.indexCount) * 4 > kMaxBufferBytes ||
        static_cast<std::uint64_t>(scene.vertexCount) * sizeof(Vertex) > kMaxBufferBytes) {
        return "vellmora: the map is too large for Direct3D 9 buffers (4 GiB at most each)";
    }
    return {};
}

std::string NoTrianglesRefusal(const char* mapName) {
    return std::string(mapName) + ": the map has no triangles (Direct3D 9 cannot make an empty index buffer)";
}
