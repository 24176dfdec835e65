#pragma once

// Moves the camera by the keys held, aims the headlight, and draws the scene once; a Present that
// finds the device lost sets gRender.lost.
void RenderFrame();
