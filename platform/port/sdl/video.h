#pragma once
// SDL's video subsystem as the window, pointer and Direct3D files share it.
#include <SDL.h>

#include "platform/port/win32.h"

// Starts SDL video on first use. Without a display it says so on stderr, once, and stays false.
bool EnsureVideo();
bool VideoReady();
// The SDL window behind a live window handle, or null.
SDL_Window* NativeWindowOf(HWND window);
// The live window handle of an SDL window, or null.
HWND WindowOfNative(SDL_Window* native);
// Win32 puts the primary display's top-left corner at (0, 0) of the screen; SDL's desktop may
// begin elsewhere. The primary display's corner in SDL's desktop coordinates:
SDL_Point PrimaryOrigin();
// A window's top-left corner in Win32 screen coordinates.
POINT ScreenPositionOf(SDL_Window* window);
// A motion event arrived: the pointer's position is SDL's to tell again.
void ForgetWarp();
// One line on stderr naming what the program cannot start without.
void ReportStartupFailure(const char* missing);
