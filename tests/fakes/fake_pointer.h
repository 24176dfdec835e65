#pragma once
// The Win32 pointer services for tests: ShowCursor calls are recorded with the display counter they
// leave, and the pointer sits at a scripted position that SetCursorPos moves.
#include <vector>

#include "platform/platform.h"

struct FakePointer {
    std::vector<BOOL> showCalls;
    int displayCounter = 0;
    POINT position{0, 0};
    std::vector<POINT> moves;
    bool readFails = false;
};

extern FakePointer gFakePointer;

void ResetFakePointer();
