#pragma once
#include "scene/scene_data.h"

// Unit face normals, then per vertex the normalised sum of the face normals of the triangles
// that use it (each triangle once). Needs every index within 0 … vertexCount − 1.
void GenerateNormals(SceneData& scene);
