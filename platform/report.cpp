// Lines for stderr, the parent's console and the debugger.
#include "platform/report.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

// Found once for each stream, at its first text, so that a run with nothing to say leaves the
// console alone. A standard stream that goes anywhere (a file, a pipe, a console, NUL) is where the
// user sent it. Without one, the console of the parent process, if it has one, or the console the
// program is attached to already (Wine attaches a GUI program to its parent's).
std::FILE* OutputFor(DWORD which, std::FILE* standard) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) {
        return standard;
    }
    // Denied: attached already, by the other stream's first text or by Wine.
    if (AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED) {
        if (std::FILE* console = std::fopen("CONOUT$", "w")) {
            return console;
        }
    }
    return standard;
}

void Write(std::FILE* output, const std::string& text) {
    std::fputs(text.c_str(), output);
    std::fflush(output);
}

}  // namespace

void ReportLine(const char* format, ...) {
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
    static std::FILE* const output = OutputFor(STD_ERROR_HANDLE, stderr);
    Write(output, line);
    OutputDebugStringA(line.c_str());
}

void PrintText(const std::string& text) {
    static std::FILE* const output = OutputFor(STD_OUTPUT_HANDLE, stdout);
    Write(output, text);
}

std::string Quote(const char* begin, const char* end) {
    std::string quoted = "\"";
    for (const char* c = begin; c < end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\r') {
            quoted += "\\r";
        } else if (byte == '\t') {
            quoted += "\\t";
        } else if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            quoted += hex;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "\"";
}
