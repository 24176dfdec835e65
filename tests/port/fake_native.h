#pragma once
// A scripted window system in place of SDL: events are functions run when the message calls pump,
// and every request to the window system is recorded by name.
#include <functional>
#include <string>
#include <vector>

#include "platform/port/native.h"

struct FakeNative {
    std::vector<std::function<void()>> pending;    // run by the next pump, waiting or not
    std::vector<std::function<void()>> afterWait;  // run only by a pump that waits
    std::vector<std::string> calls;                // e.g. "ShowCursor(0)", "Relative(1)", "Move(5, 6)"
    POINT cursor{0, 0};
    int waits = 0;
    DWORD lastWaitMs = 0;
};

extern FakeNative gNative;
