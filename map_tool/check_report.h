#pragma once
// A map's check as text: a few lines for people, each warning on a line of its own starting with
// "warning:", or one JSON object for scripts. Both say the same.
#include <string>

#include "map_tool/map_check.h"

std::string HumanReport(const MapCheck& check);
std::string JsonReport(const MapCheck& check);
