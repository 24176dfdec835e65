#pragma once

// Moves the camera by the keys held, aims the headlight, and draws the scene once.
void RenderFrame();
