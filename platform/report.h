#pragma once
// The one way the program says what went wrong: a line on stderr, and the same line for a
// debugger; and its sibling for text the user asked for. A program started from a console with
// nowhere for stderr to go (a GUI program's) writes it to that console.
#include <string>
#include <string_view>

// printf-style; the line's end is added.
void ReportLine(const char* format, ...);

// Text asked for (the usage, the version) on stdout, or where there is none the console as above.
// Not passed to a debugger: it is no report.
void PrintText(const std::string& text);

// Quotes bytes for a message: printable ASCII as is, the rest as \n, \t, \r or \xNN.
std::string Quote(const char* begin, const char* end);
inline std::string Quote(std::string_view text) {
    return Quote(text.data(), text.data() + text.size());
}
