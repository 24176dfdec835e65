// Reading the map file, now or ahead.
#include "scene/map_file.h"

#include <string>
#include <system_error>

#include "platform/file_lookup.h"
#include "platform/file_read.h"

namespace {

std::string CannotOpen(const char* path, OpenResult opened) {
    switch (opened) {
        case OpenResult::kNotFound:
            return "cannot open the map file";
        case OpenResult::kNotRegular:
            return "the map file is not a regular file (a folder, device, FIFO or socket)";
        case OpenResult::kAmbiguous:
            return "cannot open the map file: several files differ from its name only in letter case: " +
                   LookUpFile(path).ambiguity;
        case OpenResult::kOk:
        case OpenResult::kCannotRead:
            break;
    }
    return "cannot read the map file";
}

// What was opened as `path`, read whole and closed, then read as a map.
MapRead ReadOpened(const char* path, OpenResult opened, RegularFile file) {
    FileBytes bytes;
    if (opened == OpenResult::kOk && !ReadWholeFile(file, bytes)) opened = OpenResult::kCannotRead;
    if (opened != OpenResult::kOk) {
        MapRead refused;
        refused.refusal = std::string(path) + ": " + CannotOpen(path, opened);
        return refused;
    }
    return ReadMap(path, std::string_view(bytes.data(), bytes.size()));
}

}  // namespace

MapRead ReadMapFile(const char* path) {
    RegularFile file;
    const OpenResult opened = OpenRegularFile(path, file);
    return ReadOpened(path, opened, file);
}

// The file is looked up and opened once, here; the task reads it.
std::future<MapRead> StartReadingMap() {
    RegularFile file;
    const OpenResult opened = OpenRegularFile(kMapFileName, file);
    if (opened == OpenResult::kOk && file.size >= kReadAheadFrom) {
        try {
            return std::async(std::launch::async, ReadOpened, kMapFileName, opened, file);
        } catch (const std::system_error&) {
            // no thread to spare: read when asked
        }
    }
    return std::async(std::launch::deferred, ReadOpened, kMapFileName, opened, file);
}
