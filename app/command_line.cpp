// Windows' own splitting of a command line, written out so that the native program reads the same
// arguments from the line its entry builds.
#include "app/command_line.h"

#include <utility>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) return arguments;
        std::string argument;
        int quotes = 0;  // odd while inside quotes
        while (i < line.size() && (quotes % 2 == 1 || !IsBlank(line[i]))) {
            if (line[i] == '\\') {
                const std::size_t first = i;
                while (i < line.size() && line[i] == '\\') ++i;
                const std::size_t run = i - first;
                const bool beforeQuote = i < line.size() && line[i] == '"';
                argument.append(beforeQuote ? run / 2 : run, '\\');
                if (beforeQuote && run % 2 == 1) {
                    argument += '"';
                    ++i;
                }
                continue;
            }
            if (line[i] != '"') {
                argument += line[i++];
                continue;
            }
            // A run of quotes: each third one is literal.
            ++quotes;
            for (++i; i < line.size() && line[i] == '"'; ++i) {
                if (++quotes == 3) {
                    argument += '"';
                    quotes = 0;
                }
            }
            if (quotes == 2) quotes = 0;
        }
        arguments.push_back(std::move(argument));
    }
}
