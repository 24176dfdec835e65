// Lines for stderr, the parent's console and the debugger.
#include "platform/report.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

// Looked for once, at the first line, so that a run with nothing to say leaves the console alone.
// Standard error that goes anywhere (a file, a pipe, a console, NUL) is where the user sent it.
void FindErrorOutput() {
    static bool found = false;
    if (found) {
        return;
    }
    found = true;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_UNKNOWN) {
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace

void ReportLine(const char* format, ...) {
    FindErrorOutput();
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string line(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::vsnprintf(line.data(), line.size() + 1, format, again);
    va_end(again);
    line += '\n';
    std::fputs(line.c_str(), stderr);
    OutputDebugStringA(line.c_str());
}
