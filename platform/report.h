#pragma once
// The one way the program says what went wrong: a line on stderr, and the same line for a
// debugger. A program started from a console with nowhere for stderr to go (a GUI program's)
// writes it to that console.
#include <string>

// printf-style; the line's end is added.
void ReportLine(const char* format, ...);

// Quotes bytes for a message: printable ASCII as is, the rest as \n, \t, \r or \xNN.
std::string Quote(const char* begin, const char* end);
