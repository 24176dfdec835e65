// File views on POSIX systems: mmap for regular files, read() for everything else.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <new>

#include "platform/file_view.h"

namespace {

bool ReadAll(int fd, FileView& view) {
    std::size_t capacity = 1 << 16;
    std::size_t size = 0;
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[capacity]);
    for (;;) {
        if (bytes == nullptr) return false;
        if (size == capacity) {
            std::unique_ptr<char[]> larger(new (std::nothrow) char[capacity * 2]);
            if (larger == nullptr) return false;
            std::memcpy(larger.get(), bytes.get(), size);
            bytes = std::move(larger);
            capacity *= 2;
        }
        const ssize_t n = ::read(fd, bytes.get() + size, capacity - size);
        if (n < 0) return false;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    view.copy = std::move(bytes);
    view.data = view.copy.get();
    view.size = size;
    return true;
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
    if (!ok) ok = ReadAll(fd, view);
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
