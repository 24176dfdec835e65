// Quoting as CommandLineToArgvW undoes it: within quotes, 2n+1 backslashes before a quote stand
// for n backslashes and a literal quote, and 2n before the closing quote for n backslashes.
#include "platform/port/command_line.h"

namespace {

std::string Quoted(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    return quoted.append(2 * backslashes, '\\') + '"';
}

}  // namespace

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        const bool plain = !argument.empty() && argument.find_first_of(" \t\"") == std::string::npos;
        line += (k > 1 ? " " : "") + (plain ? argument : Quoted(argument));
    }
    return line;
}
