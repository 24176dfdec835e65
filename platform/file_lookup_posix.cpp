// Windows' name lookup on a case-sensitive file system.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "platform/file_lookup.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// The components that remain once the name is taken apart as Windows takes it apart.
std::vector<std::string> Components(std::string_view name, bool fromRoot) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < name.size()) {
        std::size_t end = begin;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::string part(name.substr(begin, end - begin));
        const bool last = end == name.size();
        begin = end + 1;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!fromRoot) {
                parts.push_back(part);  // above the current folder
            }
            continue;
        }
        if (last) {
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        } else if (part.size() >= 2 && part.back() == '.' && part[part.size() - 2] != '.') {
            part.pop_back();
        }
        if (!part.empty() && part != ".") parts.push_back(std::move(part));
    }
    return parts;
}

// The entries of folder ("" the current one) whose names equal component but for ASCII case, sorted.
const std::vector<std::string>& CaseVariants(FolderListings& listings, const std::string& folder,
                                             const std::string& component) {
    const auto [listing, unread] = listings.folders.try_emplace(folder);
    if (unread) {
        if (DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str())) {
            while (const dirent* entry = ::readdir(directory)) {
                listing->second[Lower(entry->d_name)].emplace_back(entry->d_name);
            }
            ::closedir(directory);
        }
        for (auto& [lower, names] : listing->second) std::sort(names.begin(), names.end());
    }
    static const std::vector<std::string> kNone;
    const auto found = listing->second.find(Lower(component));
    return found == listing->second.end() ? kNone : found->second;
}

}  // namespace

FileLookup LookUpFile(std::string_view name, FolderListings& listings) {
    FileLookup result;
    const bool fromRoot = !name.empty() && IsSeparator(name.front());
    const std::vector<std::string> parts = Components(name, fromRoot);
    std::string folder = fromRoot ? "/" : "";  // reached so far, ending in '/'; "" is the current one
    bool resolving = true;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        std::string component = parts[k];
        if (resolving && component != ".." && !Exists(folder + component)) {
            const std::vector<std::string>& variants = CaseVariants(listings, folder, component);
            if (variants.size() == 1) {
                component = variants.front();
            } else {
                // Not there, or not one: the rest stays as written and opening it fails.
                resolving = false;
                for (const std::string& variant : variants) result.variants.push_back(folder + variant);
                result.variantsAreFolders = k + 1 < parts.size();
            }
        }
        folder.append(component).push_back('/');
    }
    // The current folder is "."; a file named with a trailing separator is not found, as on Windows.
    const bool namesFolder = !name.empty() && IsSeparator(name.back());
    if (folder.empty() && !name.empty()) folder = "./";
    if (!namesFolder && folder.size() > 1) folder.pop_back();
    result.path = std::move(folder);
    return result;
}

OpenResult AmbiguityOf(FileLookup& found) {
    if (found.variants.empty()) return OpenStatus::kOk;
    OpenResult ambiguous(OpenStatus::kAmbiguous);
    ambiguous.variants = std::move(found.variants);
    ambiguous.variantsAreFolders = found.variantsAreFolders;
    return ambiguous;
}
