#pragma once
// The current directory, where the viewer reads its map and the map's names resolve.
#include <string>

// Makes the folder `path` names the current directory, or the folder holding it where it names a
// file called mapName in any letter case; the path is looked up as the map's own names are
// (file_lookup.h). Empty when done; otherwise why not, in a few words.
std::string EnterFolderOf(const char* path, const char* mapName);

// The current directory as the system writes it.
std::string CurrentFolder();
