#pragma once
// What the viewer can show of a scene, for the viewer and the map tool alike: its view volume, and
// the scenes Direct3D 9's buffers cannot hold, in the words the start-up refuses them with.
#include <string>

#include "scene/scene_data.h"

constexpr float kFieldOfView = 0.7853982f;  // vertical, 45 degrees
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 100.0f;

// The line refusing a scene whose indices or vertices pass a buffer's 32-bit byte length; empty
// where both fit.
std::string TooLargeForBuffers(const SceneData& scene);

// The line refusing a scene without triangles, where the device makes no empty index buffer.
std::string NoTrianglesRefusal(const char* mapName);
