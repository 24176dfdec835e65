#pragma once
// The sample scenes: a walled courtyard to fly through, and a large grid of its copies for
// measuring how the viewer copes with about a million triangles.
#include "tools/make_courtyard/mesh.h"

// The courtyard with its surroundings (the field, trees and an obelisk beyond the gateway). The
// start looks along +z from just inside the front wall, at eye height.
MapMesh BuildCourtyard();

// Walled courtyards on a square grid, with the ground between them, sized for about
// targetTriangles triangles; the start is the courtyard's, in the middle of the grid.
MapMesh BuildCourtyardGrid(int targetTriangles);

// What the tool writes after the last texture name of each map.
extern const char* const kMapNote;
