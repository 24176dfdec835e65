// Entering the map's folder and reading the map there.
#include "map_tool/map_source.h"

#include <strings.h>

#include <system_error>
#include <utility>

#include "platform/current_folder.h"
#include "platform/file_lookup.h"
#include "scene/map_file.h"
#include "scene/view_limits.h"

MapFolder::MapFolder(const std::string& argument) {
    const std::string path = argument.empty() ? "." : argument;
    // The viewer's own entry into the folder, asked for the map file's name as the lookup finds it;
    // map.txt in any letter case is the viewer's map, read and named as the viewer does.
    FolderListings listings;
    const std::filesystem::path found = LookUpFile(path, listings).path;
    std::error_code error;
    fileName_ = found.filename().string();
    if (std::filesystem::is_directory(found, error) || ::strcasecmp(fileName_.c_str(), kMapFileName) == 0) {
        fileName_ = kMapFileName;
    }
    previous_ = std::filesystem::current_path(error);
    const std::string why = EnterFolderOf(path.c_str(), fileName_.c_str());
    if (!why.empty()) refusal_ = argument + ": cannot open the map file: " + why;
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
