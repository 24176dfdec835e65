#pragma once
// Sends one mouse-move message with the pointer dx pixels right of and dy pixels above the centre.
#include "camera/mouse_look.h"
#include "platform/screen_metrics.h"
#include "tests/fakes/fake_pointer.h"

inline void UseScreen(int width, int height) {
    gScreen = {width, height, width >> 1, height >> 1};
}

inline void LookBy(int dx, int dy) {
    gFakePointer.position = {gScreen.centreX + dx, gScreen.centreY - dy};
    ApplyMouseLook();
}
