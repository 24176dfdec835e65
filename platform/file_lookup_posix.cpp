// Windows' file lookup on a case-sensitive file system: one component at a time, the exact name
// first, then the single entry that differs only in letter case.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/file_lookup.h"

namespace {

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// The entries of folder whose names equal component but for ASCII case, sorted.
std::vector<std::string> CaseVariants(const std::string& folder, const std::string& component) {
    std::vector<std::string> found;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) return found;
    while (const dirent* entry = ::readdir(directory)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) found.emplace_back(entry->d_name);
    }
    ::closedir(directory);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

FileLookup LookUpFile(const char* name) {
    FileLookup result;
    const std::string text = name;
    // The folder reached so far, ending in its separator; "" is the current folder.
    std::string folder(!text.empty() && (text[0] == '/' || text[0] == '\\') ? 1 : 0, '/');
    result.path = folder;
    bool resolving = true;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("/\\", begin), text.size());
        std::string component = text.substr(begin, end - begin);
        begin = end + 1;
        if (component.empty()) continue;
        if (resolving && component != "." && component != ".." && !Exists(folder + component)) {
            const std::vector<std::string> variants = CaseVariants(folder, component);
            if (variants.size() == 1) {
                component = variants.front();
            } else {
                // Not there, or not one: the rest stays as written and opening it fails.
                resolving = false;
                for (const std::string& variant : variants) {
                    if (!result.ambiguity.empty()) result.ambiguity.append(", ");
                    result.ambiguity.append(folder).append(variant);
                }
            }
        }
        result.path = folder + component;
        folder = result.path + '/';
    }
    return result;
}
