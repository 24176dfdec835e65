#pragma once

constexpr float kMouseRadiansPerPixel = 0.004f;

// Turns the camera by the pointer's offset from the screen centre and puts the pointer back.
void ApplyMouseLook();
