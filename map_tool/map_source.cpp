// Entering the map's folder and reading the map there.
#include "map_tool/map_source.h"

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

#include "platform/regular_file.h"
#include "scene/map_file.h"

namespace {

// The device's buffers take 32-bit byte lengths.
constexpr std::uint64_t kMaxBufferBytes = 0xFFFFFFFFu;

// What the viewer's device cannot hold, in the viewer's words; empty when it can.
std::string DeviceRefusal(const SceneData& scene, const std::string& fileName) {
    if (static_cast<std::uint64_t>(scene.indexCount) * 4 > kMaxBufferBytes ||
        static_cast<std::uint64_t>(scene.vertexCount) * sizeof(Vertex) > kMaxBufferBytes) {
        return "vellmora: the map is too large for Direct3D 9 buffers (4 GiB at most each)";
    }
    if (scene.indexCount == 0) {
        return fileName + ": the map has no triangles (Direct3D 9 cannot make an empty index buffer)";
    }
    return {};
}

}  // namespace

MapFolder::MapFolder(const std::string& argument) {
    std::error_code error;
    std::filesystem::path folder = argument.empty() ? "." : argument;
    if (std::filesystem::is_directory(folder, error)) {
        fileName_ = kMapFileName;
    } else {
        fileName_ = folder.filename().string();
        folder = folder.has_parent_path() ? folder.parent_path() : ".";
    }
    previous_ = std::filesystem::current_path(error);
    std::filesystem::current_path(folder, error);
    if (error) {
        const bool missing =
            error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
        refusal_ = argument + ": cannot open the map file: " +
                   WhyNotOpened(missing ? OpenStatus::kNotFound : OpenStatus::kCannotRead);
    }
}

MapFolder::~MapFolder() {
    std::error_code ignored;
    if (refusal_.empty()) std::filesystem::current_path(previous_, ignored);
}

MapRead MapFolder::Read() const {
    MapRead read;
    read.refusal = refusal_;
    if (!read.refusal.empty()) return read;
    read = ReadMapFile(fileName_.c_str());
    if (!read.refusal.empty()) return read;
    std::string refusal = DeviceRefusal(read.scene, fileName_);
    if (refusal.empty()) return read;
    read = MapRead{};
    read.refusal = std::move(refusal);
    return read;
}
