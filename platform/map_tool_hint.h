#pragma once
// Where the map tool is installed with the viewer, a viewer that finds no map says how to make one.
#include <string>

// A clause to end the missing map's line with ("; ..." naming the tool's import), or empty where
// the map tool is not installed.
std::string MapToolHint();
