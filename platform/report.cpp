// Lines for stderr, the parent's console and the debugger.
#include "platform/report.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

// Found once, at the first line, so that a run with nothing to say leaves the console alone.
// Standard error that goes anywhere (a file, a pipe, a console, NUL) is where the user sent it.
// Without one, the console of the parent process, if it has one, or the console the program is
// attached to already (Wine attaches a GUI program to its parent's).
std::FILE* ErrorOutput() {
    static std::FILE* output = nullptr;
    if (output != nullptr) {
        return output;
    }
    output = stderr;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_UNKNOWN) {
        return output;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED) {
        if (std::FILE* console = std::fopen("CONOUT$", "w")) {
            output = console;
        }
    }
    return output;
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
    std::FILE* output = ErrorOutput();
    std::fputs(line.c_str(), output);
    std::fflush(output);
    OutputDebugStringA(line.c_str());
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
