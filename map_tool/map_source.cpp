// Entering the map's folder and reading the map there.
#include "map_tool/map_source.h"

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

#include "platform/regular_file.h"
#include "scene/map_file.h"
#include "scene/view_limits.h"

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
    // The folder's own map.txt is refused in the viewer's very words, a missing one included.
    read = fileName_ == kMapFileName ? ReadTheMap() : ReadMapFile(fileName_.c_str());
    if (!read.refusal.empty()) return read;
    // Direct3D 9 itself makes no empty index buffer, whatever the port would grant.
    std::string refusal = TooLargeForBuffers(read.scene);
    if (refusal.empty() && read.scene.indexCount == 0) refusal = NoTrianglesRefusal(fileName_.c_str());
    if (refusal.empty()) return read;
    read = MapRead{};
    read.refusal = std::move(refusal);
    return read;
}
