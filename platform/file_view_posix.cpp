// File views on POSIX systems: mmap, or read() where a file cannot be mapped.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/file_view.h"

namespace {

std::ptrdiff_t ReadSome(void* source, char* into, std::size_t most) {
    return ::read(*static_cast<int*>(source), into, most);
}

}  // namespace

OpenResult OpenFileView(const char* path, FileView& view) {
    CloseFileView(view);
    RegularFile file;
    const OpenResult opened = OpenRegularFile(path, file);
    if (opened != OpenResult::kOk) return opened;
    int fd = static_cast<int>(file.handle);
    bool ok = false;
    if (file.size > 0 && file.size <= SIZE_MAX) {
        const std::size_t size = static_cast<std::size_t>(file.size);
        // Populating up front costs one pass over the page tables instead of a fault per page.
        void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapping != MAP_FAILED) {
            view.mapping = mapping;
            view.data = static_cast<const char*>(mapping);
            view.size = size;
            ok = true;
        }
    }
    if (!ok) ok = ReadIntoFileView(view, ReadSome, &fd);
    CloseRegularFile(file);
    return ok ? OpenResult::kOk : OpenResult::kCannotRead;
}

void CloseFileView(FileView& view) {
    if (view.mapping != nullptr) ::munmap(view.mapping, view.size);
    view.mapping = nullptr;
    view.copy.reset();
    view.data = nullptr;
    view.size = 0;
}
