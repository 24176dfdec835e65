// The current directory on POSIX systems; a path given is found as Windows would find it.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/current_folder.h"
#include "platform/file_lookup.h"

std::string EnterFolderOf(const char* path, const char* mapName) {
    FolderListings listings;
    FileLookup found = LookUpFile(path, listings);
    if (OpenResult ambiguous = AmbiguityOf(found); ambiguous.status != OpenStatus::kOk) {
        return WhyNotOpened(ambiguous);
    }
    struct stat status {};
    if (::stat(found.path.c_str(), &status) != 0) {
        return WhyNotOpened(errno == ENOENT || errno == ENOTDIR ? OpenStatus::kNotFound
                                                                : OpenStatus::kCannotRead);
    }
    std::string folder = found.path;
    if (!S_ISDIR(status.st_mode)) {
        const std::size_t slash = folder.rfind('/');
        if (::strcasecmp(folder.c_str() + (slash + 1), mapName) != 0) {
            return std::string("neither a folder nor a file named ") + mapName;
        }
        folder.resize(slash == std::string::npos ? 0 : slash + 1);
    }
    return folder.empty() || ::chdir(folder.c_str()) == 0 ? "" : WhyNotOpened(OpenStatus::kCannotRead);
}

std::string CurrentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return ".";  // removed since, or out of reach
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}
