#pragma once
// The tool's three verbs. Each takes the arguments after its name and returns the exit code.
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

// Each verb's usage, for the tool's usage and the verb's own help and refusals: written after
// "usage: " or as many spaces.
constexpr const char* kImportUsage =
    "vellmora-map import MODEL [FOLDER] [--scale S] [--start X,Y,Z] [--force] [--watch]\n"
    "                           [--memory-limit MIB] [--time-limit SECONDS]";
constexpr const char* kCheckUsage = "vellmora-map check [FOLDER | MAP] [--json]";
constexpr const char* kExportUsage = "vellmora-map export MAP OUTPUT.obj | OUTPUT.gltf | OUTPUT.glb";

int RunImport(const Arguments& arguments);
int RunCheck(const Arguments& arguments);
int RunExport(const Arguments& arguments);
