// Reading a whole file, the same on every system; each reads its own way (ReadRegularFile).
#include "platform/file_read.h"

#include <exception>

bool ReadWholeFile(RegularFile& file, FileBytes& bytes) {
    bytes.clear();
    bool read = true;
    try {
        // A byte more than the file holds, so that one grown meanwhile is read to its new end.
        bytes.resize(static_cast<std::size_t>(file.size) + 1);
        std::size_t size = 0;
        for (;;) {
            if (size == bytes.size()) bytes.resize(2 * size);
            const std::ptrdiff_t n = ReadRegularFile(file, bytes.data() + size, bytes.size() - size);
            if (n <= 0) {
                read = n == 0;
                break;
            }
            size += static_cast<std::size_t>(n);
        }
        bytes.resize(size);
    } catch (const std::exception&) {
        read = false;  // too large to hold
    }
    CloseRegularFile(file);
    if (!read) bytes = FileBytes();
    return read;
}
