#pragma once
// The map's text, in the viewer's format: floats in their shortest form that reads back as the same
// float, integers in plain decimal.
#include <filesystem>
#include <string>

#include "map_tool/map_content.h"

std::string MapText(const MapContent& map);

// Writes MapText(map) to the file; false with the reason when it cannot.
bool WriteMapFile(const std::filesystem::path& path, const MapContent& map, std::string& why);
