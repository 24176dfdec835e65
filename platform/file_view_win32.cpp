// File views on Windows: a read-only file mapping, or ReadFile where a file cannot be mapped.
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

FileViewResult OpenFileView(const char* path, FileView& view) {
    CloseFileView(view);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileViewResult::kCannotOpen;
    bool ok = false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= static_cast<std::size_t>(-1)) {
        HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping != nullptr) {
            void* bytes = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(mapping);  // the view keeps the mapping alive
            if (bytes != nullptr) {
                view.mapping = bytes;
                view.data = static_cast<const char*>(bytes);
                view.size = static_cast<std::size_t>(size.QuadPart);
                ok = true;
            }
        }
    }
    if (!ok) ok = ReadIntoFileView(view, ReadSome, file);
    CloseHandle(file);
    return ok ? FileViewResult::kOk : FileViewResult::kCannotRead;
}

void CloseFileView(FileView& view) {
    if (view.mapping != nullptr) UnmapViewOfFile(view.mapping);
    view.mapping = nullptr;
    view.copy.reset();
    view.data = nullptr;
    view.size = 0;
}
