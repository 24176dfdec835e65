#pragma once
// The command line Windows hands WinMain, built from a process's arguments.
#include <string>

// The arguments after the program's name, joined as Windows joins them: one blank between them,
// and one with a blank, a tab or a quote, or an empty one, quoted, with backslashes doubled
// before a quote so that CommandLineToArgvW reads each back as it was.
std::string JoinCommandLine(int argc, const char* const* argv);
