#pragma once
// Finds a file the way Windows finds a relative name, so that maps made on Windows name the same
// files everywhere. The name is first taken apart as text: '\' and '/' both separate folders, a
// leading one starts at the root and a trailing one names a folder; "." and ".." are taken out
// ("nosuch\..\a.png" is "a.png"); a folder's name loses one trailing dot, and the last name all its
// trailing dots and spaces. Then each component is looked up: the exact name first, else the one
// entry that differs from it only in ASCII letter case. Windows does all this itself.
#include <string>
#include <string_view>
#include <vector>

#include "platform/regular_file.h"

struct FileLookup {
    std::string path;                   // the entries found, then the rest as written
    std::vector<std::string> variants;  // when several entries differ from a component only in case
    bool variantsAreFolders = false;    // that component names a folder
};

// Folders are read through listings, each once, and only where a component has no exact match.
FileLookup LookUpFile(std::string_view name, FolderListings& listings);
// kAmbiguous, taking the lookup's variants, where it met several; kOk otherwise.
OpenResult AmbiguityOf(FileLookup& found);
