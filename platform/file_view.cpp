// What both systems' file views share: reading a file that cannot be mapped into a growing buffer.
#include "platform/file_view.h"

#include <cstring>
#include <new>

bool ReadIntoFileView(FileView& view, std::ptrdiff_t (*read)(void* source, char* into, std::size_t most),
                      void* source) {
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
        const std::ptrdiff_t n = read(source, bytes.get() + size, capacity - size);
        if (n < 0) return false;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    view.copy = std::move(bytes);
    view.data = view.copy.get();
    view.size = size;
    return true;
}
