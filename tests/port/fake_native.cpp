#include "tests/port/fake_native.h"

FakeNative gNative;

namespace {

void RunAll(std::vector<std::function<void()>>& events) {
    std::vector<std::function<void()>> now;
    now.swap(events);
    for (auto& event : now) {
        event();
    }
}

}  // namespace

void NativePumpEvents(DWORD waitMs) {
    if (waitMs != 0) {
        ++gNative.waits;
        gNative.lastWaitMs = waitMs;
        RunAll(gNative.afterWait);
    }
    RunAll(gNative.pending);
}

void NativeDestroyWindow(PortWindow&) {
    gNative.calls.push_back("Destroy");
}

void NativeShowCursor(bool shown) {
    gNative.calls.push_back("ShowCursor(" + std::to_string(shown) + ")");
}

void NativeRelativeMotion(bool on) {
    gNative.calls.push_back("Relative(" + std::to_string(on) + ")");
}

void NativeCursorPos(POINT* point) {
    *point = gNative.cursor;
}

void NativeMoveCursor(int x, int y) {
    gNative.calls.push_back("Move(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    gNative.cursor = {x, y};
}
