#pragma once
// Opening the files the viewer reads: only regular files. A FIFO, device, socket or folder is
// refused at once, without blocking in open and without reading from it.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// kAmbiguous: no file has the name, and several differ from it only in letter case (see file_lookup.h).
enum class OpenResult { kOk, kNotFound, kNotRegular, kCannotRead, kAmbiguous };

// Which file a name leads to: every name of one file gives the same identity.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

struct RegularFile {
    std::intptr_t handle = -1;  // a descriptor (POSIX) or a HANDLE (Windows)
    std::uint64_t size = 0;
    FileIdentity identity;
};

// The name is looked up as Windows looks names up (file_lookup.h).
OpenResult OpenRegularFile(const char* name, RegularFile& file);
void CloseRegularFile(RegularFile& file);

// Reads up to `most` bytes from where the last read ended: the count read, 0 at the end, -1 on an error.
std::ptrdiff_t ReadRegularFile(RegularFile& file, char* into, std::size_t most);

// A binary stdio stream over the file from its start, which owns the file from then on; null (with
// the file closed) when none can be made.
std::FILE* StreamRegularFile(RegularFile& file);
