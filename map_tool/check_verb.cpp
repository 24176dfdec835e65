// vellmora-map check [FOLDER | MAP] [--json]: the map as the viewer would take it, without a window.
#include <cstdio>

#include "map_tool/check_report.h"
#include "map_tool/map_source.h"
#include "map_tool/verbs.h"

int RunCheck(const Arguments& arguments) {
    bool json = false;
    std::string where = ".";
    int places = 0;
    for (const std::string& argument : arguments) {
        if (argument == "--json") {
            json = true;
        } else if (argument == "--help" || argument == "-h") {
            std::printf(
                "usage: %s\n"
                "Reads the map (./map.txt by default) as the viewer would and reports what it would\n"
                "show, warn about or refuse: exit 0 clean, 1 with warnings, 2 refused.\n",
                kCheckUsage);
            return 0;
        } else if (argument.starts_with("--") || ++places > 1) {
            std::fprintf(stderr, "vellmora-map check: unexpected \"%s\"; usage: %s\n", argument.c_str(),
                         kCheckUsage);
            return 2;
        } else {
            where = argument;
        }
    }
    MapCheck check;
    {
        const MapFolder folder(where);
        check = CheckMap(folder.FileName(), folder.Read());
    }
    const std::string report = json ? JsonReport(check) : HumanReport(check);
    std::fputs(report.c_str(), stdout);
    return ExitCode(check);
}
