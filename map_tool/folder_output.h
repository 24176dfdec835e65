#pragma once
// The map's folder is written whole or not at all: everything is made in a staging folder beside it,
// on the same file system, and moved into place only once complete.
#include <filesystem>
#include <string>

// Makes an empty staging folder beside target ("<parent>/.<name>.import-XXXXXX").
bool MakeStagingFolder(const std::filesystem::path& target, std::filesystem::path& staging, std::string& why);

// Renames the staging folder to target where target does not exist; otherwise renames its files
// into target, replacing files of the same names, map.txt last, and removes the staging folder.
bool MoveIntoPlace(const std::filesystem::path& staging, const std::filesystem::path& target,
                   std::string& why);
