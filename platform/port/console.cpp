// The standard handles, the console and debug output on Linux. A process's standard streams are
// the file descriptors 0 to 2, inherited already connected to the terminal if there is one, so
// there is no console to attach to; and no debugger listens for text.
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/port/win32.h"

namespace {

// A standard handle is the address of its descriptor's slot: never null, never INVALID_HANDLE_VALUE.
int gStandardDescriptors[3] = {0, 1, 2};
// Set by the calls here that fail, as Win32 sets the thread's last error.
DWORD gLastError = 0;

int DescriptorOf(HANDLE handle) {
    for (int& descriptor : gStandardDescriptors) {
        if (handle == &descriptor) {
            return descriptor;
        }
    }
    return -1;
}

}  // namespace

HANDLE WINAPI GetStdHandle(DWORD which) {
    int descriptor = -1;
    if (which == STD_INPUT_HANDLE) {
        descriptor = 0;
    } else if (which == STD_OUTPUT_HANDLE) {
        descriptor = 1;
    } else if (which == STD_ERROR_HANDLE) {
        descriptor = 2;
    } else {
        return INVALID_HANDLE_VALUE;
    }
    // A closed stream has no handle, as on Windows a program started without one has none.
    return fcntl(descriptor, F_GETFD) == -1 ? nullptr : &gStandardDescriptors[descriptor];
}

DWORD WINAPI GetFileType(HANDLE file) {
    struct stat status;
    const int descriptor = DescriptorOf(file);
    if (descriptor < 0 || fstat(descriptor, &status) != 0) {
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(status.st_mode)) {
        return FILE_TYPE_DISK;
    }
    if (S_ISCHR(status.st_mode)) {
        return FILE_TYPE_CHAR;
    }
    return S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) ? FILE_TYPE_PIPE : FILE_TYPE_UNKNOWN;
}

// The terminal a program was started from is its stderr already: no process has a console to
// attach to.
BOOL WINAPI AttachConsole(DWORD) {
    gLastError = ERROR_INVALID_HANDLE;
    return FALSE;
}

DWORD WINAPI GetLastError() {
    return gLastError;
}

// The line has gone to stderr; there is no debugger channel to pass it to as well.
void WINAPI OutputDebugStringA(LPCSTR) {}
