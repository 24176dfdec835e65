// The check behind following files.
#include "platform/file_watch.h"

WatchedFile WatchOf(const RegularFile& file) {
    return {file.path, file.stamp, file.stamp};
}

WatchedFile WatchOf(const std::string& path) {
    const FileStamp now = StampOf(path);
    return {path, now, now};
}

std::vector<std::size_t> SettledChanges(std::vector<WatchedFile>& files) {
    std::vector<std::size_t> changed;
    for (std::size_t k = 0; k < files.size(); ++k) {
        WatchedFile& file = files[k];
        const FileStamp now = StampOf(file.path);
        if (now != file.read && now == file.seen) changed.push_back(k);
        file.seen = now;
    }
    return changed;
}
