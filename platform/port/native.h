#pragma once
// What the window, message and pointer functions need from the windowing system underneath. The
// program links the SDL implementation; the port's tests link a scripted fake in its place.
#include "platform/port/win32.h"

struct PortWindow;

// Turns the window system's pending events into sent and posted messages; first blocks for up to
// waitMs (INFINITE: for as long as it takes) until at least one event is there.
void NativePumpEvents(DWORD waitMs);
// Hides the window for good; the window record is already marked destroyed.
void NativeDestroyWindow(PortWindow& window);
void NativeShowCursor(bool shown);
// Switches the window system between reporting pointer positions and relative motion only.
void NativeRelativeMotion(bool on);
// The real pointer, in screen coordinates.
void NativeCursorPos(POINT* point);
void NativeMoveCursor(int x, int y);
