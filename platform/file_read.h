#pragma once
// A whole regular file read into memory. Read rather than mapped: a file cut short while it is read
// (an editor saving in place) then gives the bytes it still had, where a mapping would fault.
#include <vector>

#include "platform/large_array.h"
#include "platform/regular_file.h"

using FileBytes = std::vector<char, LargeArrayAllocator<char>>;

// Fills bytes with the file's contents as they are while it is read, grown or shrunk meanwhile.
OpenResult ReadWholeFile(const char* name, FileBytes& bytes);
