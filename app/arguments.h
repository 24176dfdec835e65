#pragma once
// What the command line asks of the viewer: the scene of a folder, or the usage or the version.
#include <optional>
#include <string>
#include <vector>

struct Request {
    enum class Kind { kShow, kHelp, kVersion, kRefused };
    Kind kind = Kind::kShow;
    std::string path;     // kShow: the folder or map.txt given; empty for the current directory
    std::string refusal;  // kRefused: the one line saying why, with the usage
};

// Options are the arguments that start with '-': --help and --version, which win over any path.
// An unknown option, or more than one path, is refused.
Request ReadRequest(const std::vector<std::string>& arguments);

// Does what the command line (WinMain's, null taken as empty) asks before any window is made: the
// exit code where the program ends here (the usage, the version, a refusal reported), or none when
// the start-up is to go on, in the scene's folder.
std::optional<int> FollowCommandLine(const char* commandLine);
