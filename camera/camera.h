#pragma once
// The free-flying camera: position and an orthonormal look/right/up basis.
#include <cstdint>

#include "platform/d3dx.h"

constexpr float kMoveStep = 0.1f;

struct CameraState {
    Vec3 position;
    Vec3 look;
    Vec3 right;
    Vec3 up;
    Vec3 worldUp;
};

extern CameraState gCamera;

void InitCamera(const Vec3& startPosition);
// One frame of keyboard movement; keys is the key table.
void ApplyMovement(CameraState& camera, const std::uint8_t* keys);
