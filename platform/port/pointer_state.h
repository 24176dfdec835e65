#pragma once
// The pointer as Win32 presents it: the ShowCursor display counter, and a virtual pointer for window
// systems that cannot move the real one (Wayland), fed by relative motion while the pointer is
// hidden over the focused window.
#include "platform/port/win32.h"

struct PointerState {
    int displayCount = 0;  // shown while >= 0, as Win32 starts with a mouse installed
    bool focused = false;
    bool virtualAllowed = false;  // the window system cannot warp the real pointer
    bool virtualActive = false;
    POINT virtualPosition{0, 0};
    RECT screen{0, 0, 0, 0};  // where the virtual pointer may go
};

extern PointerState gPointer;

// Called by the window system on keyboard focus changes.
void SetPointerFocus(bool focused);
// Relative motion reported while the virtual pointer is in use; it stops at the screen's edges.
void MoveVirtualPointer(int dx, int dy);
