// File views on Windows: a read-only file mapping, or ReadFile where a file cannot be mapped.
#include <cstring>
#include <new>

#include "platform/file_view.h"
#include "platform/platform.h"

namespace {

bool ReadAll(HANDLE file, FileView& view) {
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
        const std::size_t chunk = capacity - size > 0x40000000u ? 0x40000000u : capacity - size;
        DWORD n = 0;
        if (!ReadFile(file, bytes.get() + size, static_cast<DWORD>(chunk), &n, nullptr)) return false;
        if (n == 0) break;
        size += n;
    }
    view.copy = std::move(bytes);
    view.data = view.copy.get();
    view.size = size;
    return true;
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
    if (!ok) ok = ReadAll(file, view);
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
