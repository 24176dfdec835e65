#pragma once
// Finds a file the way Windows finds it, so that maps made on Windows name the same files
// everywhere: '\' and '/' both separate folders, and where no entry has a component's exact name,
// the one entry whose name differs only in ASCII letter case is taken. Windows itself does this,
// so there the name is used as it stands.
#include <string>

struct FileLookup {
    std::string path;       // the name with the entries found, or as written from the first that was not
    std::string ambiguity;  // when several entries differ from a component only in case: them, in order
};

FileLookup LookUpFile(const char* name);
