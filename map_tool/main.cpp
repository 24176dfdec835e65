// vellmora-map: makes a map from a model, checks a map as the viewer would read it, and takes a map
// back out as a model.
#include <cstdio>
#include <cstring>

#include "map_tool/verbs.h"

namespace {

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: %s\n       %s\n       %s\n", kImportUsage, kCheckUsage, kExportUsage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    const Arguments rest(argv + (argc >= 2 ? 2 : argc), argv + argc);
    if (argc >= 2 && std::strcmp(argv[1], "import") == 0) return RunImport(rest);
    if (argc >= 2 && std::strcmp(argv[1], "check") == 0) return RunCheck(rest);
    if (argc >= 2 && std::strcmp(argv[1], "export") == 0) return RunExport(rest);
    PrintUsage(stderr);
    return 2;
}
