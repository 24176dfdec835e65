#pragma once
// A whole regular file read into memory. Read rather than mapped: a file cut short while it is read
// (an editor saving in place) then gives the bytes it still had, where a mapping would fault.
#include <vector>

#include "platform/large_array.h"
#include "platform/regular_file.h"

using FileBytes = std::vector<char, LargeArrayAllocator<char>>;

// Reads the open file into bytes as it is while it is read, grown or shrunk meanwhile, and closes
// it. False, with bytes empty, when it cannot be read or held.
bool ReadWholeFile(RegularFile& file, FileBytes& bytes);
