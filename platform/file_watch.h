#pragma once
// Following files while they are in use: a file has changed once its size or last write differs
// from what was read and has then stayed so for one more check, so that a writer still at work (an
// editor, an exporter) is waited for rather than read half-written.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/regular_file.h"

struct WatchedFile {
    std::string path;  // where the lookup found it
    FileStamp read;    // as it was when read
    FileStamp seen;    // at the last check
};

// A file read as `file` was opened.
WatchedFile WatchOf(const RegularFile& file);
// A file at a path, as it is now.
WatchedFile WatchOf(const std::string& path);
// Asks each file once; the places of those that have changed and settled, in order.
std::vector<std::size_t> SettledChanges(std::vector<WatchedFile>& files);
