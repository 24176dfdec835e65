#pragma once
// Opening the files the viewer reads: only regular files. A FIFO, device, socket or folder is
// refused at once, without blocking in open and without reading from it.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

// kAmbiguous: no entry has a component's name, and several differ from it only in letter case.
enum class OpenStatus { kOk, kNotFound, kNotRegular, kCannotRead, kAmbiguous };

struct OpenResult {
    OpenResult(OpenStatus status = OpenStatus::kOk) : status(status) {}  // NOLINT: a status is a result

    OpenStatus status;
    std::vector<std::string> variants;  // kAmbiguous: those entries, sorted
    bool variantsAreFolders = false;
};

// What a load read of its folders' entries, so that names in other letter case cost one reading of
// each folder, not one for each name. Keep it no longer than one load: folders change. Windows
// matches letter case itself and leaves it empty.
struct FolderListings {
    // folder → its entries by their lower-case names
    std::unordered_map<std::string, std::unordered_map<std::string, std::vector<std::string>>> folders;
};

// Which file a name leads to: every name of one file gives the same identity.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// What a file's size and last write were when asked: a file being watched has changed when this has.
struct FileStamp {
    bool present = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // in the system's own units
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct RegularFile {
    std::intptr_t handle = -1;  // a descriptor (POSIX) or a HANDLE (Windows)
    std::uint64_t size = 0;
    FileIdentity identity;
    std::string path;  // where the lookup found it
    FileStamp stamp;   // as it was opened
};

// The name is looked up as Windows looks names up (file_lookup.h).
OpenResult OpenRegularFile(const char* name, RegularFile& file, FolderListings& listings);
OpenResult OpenRegularFile(const char* name, RegularFile& file);

// Why a name could not be opened, in the same words for the map and for a texture.
std::string WhyNotOpened(const OpenResult& opened);
void CloseRegularFile(RegularFile& file);
// The file at a path found by an open, as it is now; not present when it is gone or not a regular file.
FileStamp StampOf(const std::string& path);

// Reads up to `most` bytes from where the last read ended: the count read, 0 at the end, -1 on an error.
std::ptrdiff_t ReadRegularFile(RegularFile& file, char* into, std::size_t most);

// A binary stdio stream over the file from its start, which owns the file from then on; null (with
// the file closed) when none can be made.
std::FILE* StreamRegularFile(RegularFile& file);
