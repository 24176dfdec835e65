// Regular files on POSIX systems. O_NONBLOCK keeps open from waiting for a FIFO's writer; it
// changes nothing for the regular files that are read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/file_lookup.h"
#include "platform/regular_file.h"

namespace {

constexpr std::size_t kMaxRead = std::size_t{1} << 30;  // what one read() is sure to take

FileStamp StampOfStatus(const struct stat& status) {
    return {S_ISREG(status.st_mode), static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

}  // namespace

OpenResult OpenRegularFile(const char* name, RegularFile& file, FolderListings& listings) {
    FileLookup found = LookUpFile(name, listings);
    if (OpenResult ambiguous = AmbiguityOf(found); ambiguous.status != OpenStatus::kOk) return ambiguous;
    const char* path = found.path.c_str();
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return OpenStatus::kNotFound;
        // A socket cannot be opened at all.
        return ::stat(path, &status) == 0 && !S_ISREG(status.st_mode) ? OpenStatus::kNotRegular
                                                                      : OpenStatus::kCannotRead;
    }
    const bool known = ::fstat(fd, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return known ? OpenStatus::kNotRegular : OpenStatus::kCannotRead;
    }
    file.handle = fd;
    file.size = static_cast<std::uint64_t>(status.st_size);
    file.identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
    file.path = std::move(found.path);
    file.stamp = StampOfStatus(status);
    return OpenStatus::kOk;
}

FileStamp StampOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? StampOfStatus(status) : FileStamp{};
}

void CloseRegularFile(RegularFile& file) {
    if (file.handle >= 0) ::close(static_cast<int>(file.handle));
    file.handle = -1;
}

std::ptrdiff_t ReadRegularFile(RegularFile& file, char* into, std::size_t most) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(file.handle), into, most < kMaxRead ? most : kMaxRead);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::FILE* StreamRegularFile(RegularFile& file) {
    std::FILE* stream = ::fdopen(static_cast<int>(file.handle), "rb");
    if (stream == nullptr) CloseRegularFile(file);
    file.handle = -1;
    return stream;
}
