#pragma once
// A read-only view of a whole file's bytes: mapped into memory where the system allows (no copy),
// read into memory otherwise (pipes, devices, empty files).
#include <cstddef>
#include <memory>

enum class FileViewResult { kOk, kCannotOpen, kCannotRead };

struct FileView {
    const char* data = nullptr;
    std::size_t size = 0;
    void* mapping = nullptr;       // the mapped view, when the file was mapped
    std::unique_ptr<char[]> copy;  // the bytes, when it was read instead
};

FileViewResult OpenFileView(const char* path, FileView& view);

// Fills view.copy by calling read(source, into, most) until it returns 0 (end) or less (an error).
bool ReadIntoFileView(FileView& view, std::ptrdiff_t (*read)(void* source, char* into, std::size_t most),
                      void* source);
void CloseFileView(FileView& view);
