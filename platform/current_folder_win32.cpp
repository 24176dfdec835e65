// The current directory on Windows, which finds names in any letter case itself. The full path
// loses a name's trailing dots and spaces, as every Windows call does.
#include <string.h>

#include <vector>

#include "platform/current_folder.h"
#include "platform/platform.h"
#include "platform/regular_file.h"

std::string EnterFolderOf(const char* path, const char* mapName) {
    std::vector<char> full(MAX_PATH);
    char* name = nullptr;
    DWORD length = GetFullPathNameA(path, static_cast<DWORD>(full.size()), full.data(), &name);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameA(path, static_cast<DWORD>(full.size()), full.data(), &name);
    }
    const DWORD attributes = length == 0 ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(full.data());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                             error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
        return WhyNotOpened(missing ? OpenStatus::kNotFound : OpenStatus::kCannotRead);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        if (name == nullptr || _stricmp(name, mapName) != 0) {
            return std::string("neither a folder nor a file named ") + mapName;
        }
        *name = '\0';
    }
    return SetCurrentDirectoryA(full.data()) ? "" : WhyNotOpened(OpenStatus::kCannotRead);
}

std::string CurrentFolder() {
    std::vector<char> buffer(GetCurrentDirectoryA(0, nullptr) + 1);
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::string(buffer.data(), length < buffer.size() ? length : 0);
}
