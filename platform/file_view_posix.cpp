// File views on POSIX systems: mmap for regular files, read() for everything else.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_view.h"

namespace {

std::ptrdiff_t ReadSome(void* source, char* into, std::size_t most) {
    return ::read(*static_cast<int*>(source), into, most);
}

}  // namespace

FileViewResult OpenFileView(const char* path, FileView& view) {
    CloseFileView(view);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileViewResult::kCannotOpen;
    struct stat status {};
    bool ok = false;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        const std::size_t size = static_cast<std::size_t>(status.st_size);
        // Populating up front costs one pass over the page tables instead of a fault per page.
        void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapping != MAP_FAILED) {
            view.mapping = mapping;
            view.data = static_cast<const char*>(mapping);
            view.size = size;
            ok = true;
        }
    }
    if (!ok) {
        int descriptor = fd;
        ok = ReadIntoFileView(view, ReadSome, &descriptor);
    }
    ::close(fd);
    return ok ? FileViewResult::kOk : FileViewResult::kCannotRead;
}

void CloseFileView(FileView& view) {
    if (view.mapping != nullptr) ::munmap(view.mapping, view.size);
    view.mapping = nullptr;
    view.copy.reset();
    view.data = nullptr;
    view.size = 0;
}
