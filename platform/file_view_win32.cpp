// File views on Windows: a read-only file mapping, or ReadFile where a file cannot be mapped.
#include <cstdint>

#include "platform/file_view.h"
#include "platform/platform.h"

namespace {

std::ptrdiff_t ReadSome(void* source, char* into, std::size_t most) {
    DWORD read = 0;
    const DWORD chunk = most > 0x40000000u ? 0x40000000u : static_cast<DWORD>(most);
    return ReadFile(static_cast<HANDLE>(source), into, chunk, &read, nullptr)
               ? static_cast<std::ptrdiff_t>(read)
               : -1;
}

}  // namespace

OpenResult OpenFileView(const char* path, FileView& view) {
    CloseFileView(view);
    RegularFile file;
    const OpenResult opened = OpenRegularFile(path, file);
    if (opened != OpenResult::kOk) return opened;
    HANDLE handle = reinterpret_cast<HANDLE>(file.handle);
    bool ok = false;
    if (file.size > 0 && file.size <= SIZE_MAX) {
        HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping != nullptr) {
            void* bytes = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(mapping);  // the view keeps the mapping alive
            if (bytes != nullptr) {
                view.mapping = bytes;
                view.data = static_cast<const char*>(bytes);
                view.size = static_cast<std::size_t>(file.size);
                ok = true;
            }
        }
    }
    if (!ok) ok = ReadIntoFileView(view, ReadSome, handle);
    CloseRegularFile(file);
    return ok ? OpenResult::kOk : OpenResult::kCannotRead;
}

void CloseFileView(FileView& view) {
    if (view.mapping != nullptr) UnmapViewOfFile(view.mapping);
    view.mapping = nullptr;
    view.copy.reset();
    view.data = nullptr;
    view.size = 0;
}
