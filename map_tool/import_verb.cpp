// vellmora-map import: a model in, a folder the viewer shows it from out, written whole or not at all.
#include <cstdio>

#include "map_tool/import_options.h"
#include "map_tool/import_watch.h"
#include "map_tool/staged_import.h"
#include "map_tool/verbs.h"
#include "scene/map_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRefused = 2;

int Refuse(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", what.c_str(), why.c_str());
    return kRefused;
}

}  // namespace

int RunImport(const Arguments& arguments) {
    ImportOptions options;
    std::string why;
    if (!ParseImportOptions(arguments, options, why)) {
        return Refuse("vellmora-map import", why + " (vellmora-map import --help says more)");
    }
    if (options.help) {
        std::printf("usage: %s\n%s", kImportUsage, kImportHelp);
        return 0;
    }
    if (options.watch) return WatchImport(options);
    const fs::path map = options.folder / kMapFileName;
    std::error_code error;
    if (!options.force && fs::exists(map, error)) {
        return Refuse(map.string(), "already there; --force replaces it");
    }
    const RunOutcome outcome = ImportIntoFolder(options);
    if (!outcome.ok) return Refuse(options.model.string(), outcome.text);
    std::fputs(outcome.text.c_str(), stdout);
    return 0;
}
