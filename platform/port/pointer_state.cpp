// ShowCursor, GetCursorPos and SetCursorPos over the window system's pointer, and the virtual
// pointer that stands in for it where the real one cannot be moved. Not implemented: cursor
// shapes and clipping rectangles.
#include "platform/port/pointer_state.h"

#include <algorithm>

#include "platform/port/native.h"

PointerState gPointer;

namespace {

POINT Clamped(int x, int y) {
    const RECT& s = gPointer.screen;
    return {std::clamp<LONG>(x, s.left, std::max(s.left, s.right - 1)),
            std::clamp<LONG>(y, s.top, std::max(s.top, s.bottom - 1))};
}

void UpdateVirtualPointer() {
    const bool wanted = gPointer.virtualAllowed && gPointer.focused && gPointer.displayCount < 0;
    if (wanted == gPointer.virtualActive) {
        return;
    }
    if (wanted) {
        // The virtual pointer starts where the real one was.
        NativeCursorPos(&gPointer.virtualPosition);
    }
    gPointer.virtualActive = wanted;
    NativeRelativeMotion(wanted);
}

}  // namespace

void SetPointerFocus(bool focused) {
    gPointer.focused = focused;
    UpdateVirtualPointer();
}

void MoveVirtualPointer(int dx, int dy) {
    gPointer.virtualPosition = Clamped(gPointer.virtualPosition.x + dx, gPointer.virtualPosition.y + dy);
}

int WINAPI ShowCursor(BOOL show) {
    gPointer.displayCount += show ? 1 : -1;
    // Only crossing between -1 and 0 changes what is seen.
    if (gPointer.displayCount == (show ? 0 : -1)) {
        NativeShowCursor(show != FALSE);
    }
    UpdateVirtualPointer();
    return gPointer.displayCount;
}

BOOL WINAPI GetCursorPos(POINT* point) {
    if (point == nullptr) {
        return FALSE;
    }
    if (gPointer.virtualActive) {
        *point = gPointer.virtualPosition;
    } else {
        NativeCursorPos(point);
    }
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    if (gPointer.virtualActive) {
        gPointer.virtualPosition = Clamped(x, y);
    } else {
        NativeMoveCursor(x, y);
    }
    return TRUE;
}
