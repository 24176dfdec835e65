#pragma once
// What an import made, as the tool reports it on stdout.
#include <cstdint>
#include <string>
#include <vector>

#include "map_tool/map_placement.h"

struct ImportSummary {
    std::string model;
    std::string map;  // the map file's path as it will be once in place
    std::size_t triangles = 0;
    std::size_t vertices = 0;
    std::size_t textures = 0;
    std::size_t drawCalls = 0;
    Placement placement;
    bool scaleGiven = false;
    std::vector<std::string> warnings;
};

// The first line gives the counts; the next ones the bounds, scale and start, then the warnings.
std::string SummaryText(const ImportSummary& summary);
