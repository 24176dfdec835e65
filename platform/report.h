#pragma once
// The one way the program says what went wrong: a line on stderr, and the same line for a
// debugger. A program started from a console with nowhere for stderr to go (a GUI program's)
// writes it to that console.

// printf-style; the line's end is added.
void ReportLine(const char* format, ...);
