#pragma once
// Normals by the plain search, every triangle for every vertex: what the fast pass replaces.
#include "scene/scene_data.h"

void GenerateNormalsQuadratic(SceneData& scene);
