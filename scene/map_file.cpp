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

bool IsLarge(const char* path) {
    RegularFile file;
    if (OpenRegularFile(path, file) != OpenResult::kOk) return false;
    const bool large = file.size >= kReadAheadFrom;
    CloseRegularFile(file);
    return large;
}

}  // namespace

MapRead ReadMapFile(const char* path) {
    FileBytes bytes;
    const OpenResult opened = ReadWholeFile(path, bytes);
    if (opened != OpenResult::kOk) {
        MapRead refused;
        refused.refusal = std::string(path) + ": " + CannotOpen(path, opened);
        return refused;
    }
    return ReadMap(path, std::string_view(bytes.data(), bytes.size()));
}

std::future<MapRead> StartReadingMap() {
    if (IsLarge(kMapFileName)) {
        try {
            return std::async(std::launch::async, ReadMapFile, kMapFileName);
        } catch (const std::system_error&) {
            // no thread to spare: read when asked
        }
    }
    return std::async(std::launch::deferred, ReadMapFile, kMapFileName);
}
