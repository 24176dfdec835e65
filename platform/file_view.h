#pragma once
// A read-only view of a whole regular file's bytes: mapped into memory where the system allows (no
// copy), read into memory otherwise (an empty file, or one the system cannot map).
#include <cstddef>
#include <memory>

#include "platform/regular_file.h"

struct FileView {
    const char* data = nullptr;
    std::size_t size = 0;
    void* mapping = nullptr;       // the mapped view, when the file was mapped
    std::unique_ptr<char[]> copy;  // the bytes, when it was read instead
};

OpenResult OpenFileView(const char* path, FileView& view);

// Fills view.copy by calling read(source, into, most) until it returns 0 (end) or less (an error).
bool ReadIntoFileView(FileView& view, std::ptrdiff_t (*read)(void* source, char* into, std::size_t most),
                      void* source);
void CloseFileView(FileView& view);
