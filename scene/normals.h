#pragma once
#include <cstdint>

#include "scene/scene_data.h"

// Starting the first thread of a process takes about 0.1 ms; below this many triangles a second
// thread saves about that much or less.
inline constexpr std::int32_t kNormalsOnTwoThreadsFrom = 100'000;

// Unit face normals, then per vertex the normalised sum of the face normals of the triangles
// that use it (each triangle once). Needs every index within 0 … vertexCount − 1. From
// twoThreadsFrom triangles on, and where the machine runs two threads at once, a second thread
// takes half of the work; the floats are the same either way.
void GenerateNormals(SceneData& scene, std::int32_t twoThreadsFrom = kNormalsOnTwoThreadsFrom);
