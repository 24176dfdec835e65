#include "map_tool/folder_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scene/map_file.h"

namespace fs = std::filesystem;

namespace {

bool Rename(const fs::path& from, const fs::path& to, std::string& why) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    why = "cannot move " + from.string() + " to " + to.string() + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool MakeStagingFolder(const fs::path& target, fs::path& staging, std::string& why) {
    fs::path absolute = fs::absolute(target).lexically_normal();
    if (!absolute.has_filename()) absolute = absolute.parent_path();  // a trailing separator
    const fs::path name = absolute.filename();
    const fs::path parent = absolute.parent_path();
    std::string pattern = (parent / ".").string();
    pattern.append(name.string()).append(".import-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        why = "cannot make a folder in " + parent.string() + ": " + std::strerror(errno);
        return false;
    }
    staging = pattern;
    // mkdtemp makes the folder private; the map's folder gets the permissions of any new folder.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(staging.c_str(), 0777 & ~mask);
    return true;
}

bool MoveIntoPlace(const fs::path& staging, const fs::path& target, std::string& why) {
    if (std::rename(staging.c_str(), target.c_str()) == 0) return true;
    // A folder that exists refuses with EEXIST or ENOTEMPTY; "." itself with EBUSY.
    if (errno != EEXIST && errno != ENOTEMPTY && errno != EBUSY) {
        why = "cannot make " + target.string() + ": " + std::strerror(errno);
        return false;
    }
    std::vector<fs::path> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(staging)) {
        if (entry.path().filename() != kMapFileName) names.push_back(entry.path().filename());
    }
    // The map last: until it moves, the folder still holds the previous map whole.
    names.push_back(kMapFileName);
    for (const fs::path& name : names) {
        if (!Rename(staging / name, target / name, why)) return false;
    }
    if (rmdir(staging.c_str()) != 0) {
        why = "cannot remove " + staging.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
