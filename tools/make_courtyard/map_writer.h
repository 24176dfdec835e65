#pragma once
// Writes a mesh as the text of a map file.
#include <string>
#include <vector>

#include "tools/make_courtyard/mesh.h"

// The start, the triangles, the vertices and the texture names, one record a line; the note
// goes after the last name, where the viewer never reads.
std::string FormatMap(const MapMesh& mesh, const std::vector<std::string>& textureNames,
                      const std::string& note);

// A number as the map file should hold it: at most four decimals, no trailing zeros, no "-0".
std::string FormatNumber(float value);
