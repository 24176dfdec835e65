#pragma once
// The import's command line: vellmora-map import MODEL [FOLDER] [--scale S] [--start X,Y,Z] [--force]
// [--watch] [--memory-limit MIB] [--time-limit SECONDS].
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "map_tool/bounded_run.h"
#include "map_tool/verbs.h"

struct ImportOptions {
    std::filesystem::path model;
    std::filesystem::path folder;  // by default the model's name without its extension, here
    std::optional<double> scale;
    std::optional<std::array<float, 3>> start;
    bool force = false;
    bool watch = false;  // implies force
    bool help = false;
    RunLimits limits = DefaultRunLimits();
};

// What follows the usage in the import's help.
extern const char* const kImportHelp;

// False, with the reason, for arguments it cannot use.
bool ParseImportOptions(const Arguments& arguments, ImportOptions& options, std::string& why);
