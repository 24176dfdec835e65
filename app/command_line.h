#pragma once
// A command line taken apart into its arguments by the rules Windows' CommandLineToArgvW applies
// to the arguments after the program's name, so that a path Explorer quotes arrives whole.
#include <string>
#include <string_view>
#include <vector>

// Blanks (spaces and tabs) separate arguments outside quotes. 2n backslashes before a quote are n
// backslashes and the quote opens or closes a quoted part; 2n+1 are n and a literal quote; other
// backslashes are literal. In a run of quotes each third is literal: inside quotes "" is a literal
// quote that also ends the quoted part ("a""b c" is a"b and c). "" alone is an empty argument.
std::vector<std::string> SplitCommandLine(std::string_view line);
