// Reading the map file, now or ahead.
#include "scene/map_file.h"

#include <string>
#include <system_error>
#include <utility>

#include "platform/current_folder.h"
#include "platform/file_read.h"
#include "platform/map_tool_hint.h"

namespace {

// What was opened as `path`, read whole and closed, then read as a map.
MapRead ReadOpened(const char* path, OpenResult opened, RegularFile file) {
    FileBytes bytes;
    if (opened.status == OpenStatus::kOk && !ReadWholeFile(file, bytes))
        opened.status = OpenStatus::kCannotRead;
    if (opened.status != OpenStatus::kOk) {
        MapRead refused;
        refused.refusal = std::string(path) + ": cannot open the map file: " + WhyNotOpened(opened);
        refused.source.path = path;
        return refused;
    }
    MapRead read = ReadMap(path, std::string_view(bytes.data(), bytes.size()));
    read.source = WatchOf(file);
    return read;
}

// The viewer's own map.txt: a missing one names the folder it was looked for in, and how to make one.
MapRead ReadOpenedMap(OpenResult opened, RegularFile file) {
    const bool missing = opened.status == OpenStatus::kNotFound;
    MapRead read = ReadOpened(kMapFileName, std::move(opened), file);
    if (missing) read.refusal += " (in " + CurrentFolder() + ")" + MapToolHint();
    return read;
}

}  // namespace

MapRead ReadMapFile(const char* path) {
    RegularFile file;
    OpenResult opened = OpenRegularFile(path, file);
    return ReadOpened(path, std::move(opened), file);
}

MapRead ReadTheMap() {
    RegularFile file;
    OpenResult opened = OpenRegularFile(kMapFileName, file);
    return ReadOpenedMap(std::move(opened), file);
}

// The file is looked up and opened once, here; the task reads it.
std::future<MapRead> StartReadingMap() {
    RegularFile file;
    OpenResult opened = OpenRegularFile(kMapFileName, file);
    if (opened.status == OpenStatus::kOk && file.size >= kReadAheadFrom) {
        try {
            return std::async(std::launch::async, ReadOpenedMap, opened, file);
        } catch (const std::system_error&) {
            // no thread to spare: read when asked
        }
    }
    return std::async(std::launch::deferred, ReadOpenedMap, opened, file);
}
