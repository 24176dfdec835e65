// Regular files on Windows. Folders are opened too (FILE_FLAG_BACKUP_SEMANTICS) so that they can be
// told apart from files that cannot be read; pipes and character devices (CON, COM1) are no disk
// files. Opening either does not block.
#include <fcntl.h>
#include <io.h>

#include "platform/platform.h"
#include "platform/regular_file.h"

namespace {

std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

}  // namespace

OpenResult OpenRegularFile(const char* path, RegularFile& file, FolderListings&) {
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            return OpenStatus::kNotFound;
        }
        return error == ERROR_PIPE_BUSY ? OpenStatus::kNotRegular : OpenStatus::kCannotRead;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    const bool known = disk && GetFileInformationByHandle(handle, &info);
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        return disk && !known ? OpenStatus::kCannotRead : OpenStatus::kNotRegular;
    }
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    file.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    file.identity = {info.dwVolumeSerialNumber,
                     (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    file.path = path;
    file.stamp = {true, file.size, Ticks(info.ftLastWriteTime)};
    return OpenStatus::kOk;
}

FileStamp StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    return {true, (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow, Ticks(data.ftLastWriteTime)};
}

void CloseRegularFile(RegularFile& file) {
    if (file.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file.handle));
    file.handle = -1;
}

std::ptrdiff_t ReadRegularFile(RegularFile& file, char* into, std::size_t most) {
    DWORD read = 0;
    const DWORD chunk = most > 0x40000000u ? 0x40000000u : static_cast<DWORD>(most);
    return ReadFile(reinterpret_cast<HANDLE>(file.handle), into, chunk, &read, nullptr)
               ? static_cast<std::ptrdiff_t>(read)
               : -1;
}

std::FILE* StreamRegularFile(RegularFile& file) {
    const int fd = _open_osfhandle(file.handle, _O_RDONLY | _O_BINARY);
    std::FILE* stream = fd == -1 ? nullptr : _fdopen(fd, "rb");
    if (stream == nullptr) {
        if (fd != -1) {
            _close(fd);  // closes the handle too
        } else {
            CloseRegularFile(file);
        }
    }
    file.handle = -1;
    return stream;
}
