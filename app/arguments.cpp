// The viewer's command line: one folder at most, and the two options every program answers.
#include "app/arguments.h"

#include "app/command_line.h"
#include "platform/current_folder.h"
#include "platform/platform.h"
#include "platform/report.h"
#include "scene/map_file.h"

namespace {

constexpr const char* kUsage = "usage: vellmora [FOLDER | FOLDER/map.txt | --help | --version]";

constexpr const char* kHelp =
    "\n"
    "Shows the 3-D scene that map.txt describes, full-screen: the one in FOLDER, or without\n"
    "an argument the one in the current directory. The names in the map are found in the\n"
    "map's folder.\n"
    "\n"
    "  mouse       look around\n"
    "  W / S       forward / back\n"
    "  A / D       left / right\n"
    "  Space / E   up / down\n"
    "  Tab         pause and resume\n"
    "  Escape      quit\n"
    "\n"
    "The map format: README.md, \"Making your own scene\" (on Linux also: man vellmora).\n";

Request Refused(const std::string& why) {
    return {Request::Kind::kRefused, {}, std::string("vellmora: ").append(why).append("; ").append(kUsage)};
}

}  // namespace

Request ReadRequest(const std::vector<std::string>& arguments) {
    bool help = false;
    bool version = false;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (argument == "--help") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (!argument.empty() && argument[0] == '-') {
            return Refused("unknown option " + Quote(argument));
        } else {
            paths.push_back(argument);
        }
    }
    if (help || version) return {help ? Request::Kind::kHelp : Request::Kind::kVersion, {}, {}};
    if (paths.size() > 1) {
        std::string given;
        for (const std::string& path : paths) given.append(" ").append(Quote(path));
        return Refused("one folder at most, given" + given);
    }
    return {Request::Kind::kShow, paths.empty() ? std::string() : paths.front(), {}};
}

std::optional<int> FollowCommandLine(const char* commandLine) {
    const Request request = ReadRequest(SplitCommandLine(commandLine != nullptr ? commandLine : ""));
    switch (request.kind) {
        case Request::Kind::kHelp:
            PrintText(std::string(kUsage) + "\n" + kHelp);
            return 0;
        case Request::Kind::kVersion:
            PrintText("vellmora " VELLMORA_VERSION "\n");
            return 0;
        case Request::Kind::kRefused:
            ReportLine("%s", request.refusal.c_str());
            return E_FAIL;
        case Request::Kind::kShow:
            break;
    }
    if (request.path.empty()) return std::nullopt;
    const std::string why = EnterFolderOf(request.path.c_str(), kMapFileName);
    if (why.empty()) return std::nullopt;
    ReportLine("vellmora: cannot show %s: %s", Quote(request.path).c_str(), why.c_str());
    return E_FAIL;
}
