// The real pointer through SDL: visibility, position and warping in screen coordinates, and SDL's
// relative mouse mode for the virtual pointer on Wayland. Not implemented: cursor shapes.
#include "platform/port/native.h"
#include "platform/port/sdl/video.h"

namespace {

// Where the pointer was last put, until the window system reports a motion: SDL learns of a warp
// only from the motion event it causes, while SetCursorPos must show at once.
bool gWarpPending = false;
POINT gWarpedTo{0, 0};

}  // namespace

void ForgetWarp() {
    gWarpPending = false;
}

void NativeShowCursor(bool shown) {
    if (VideoReady()) {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    }
}

void NativeRelativeMotion(bool on) {
    if (VideoReady()) {
        SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
    }
}

void NativeCursorPos(POINT* point) {
    int x = 0;
    int y = 0;
    if (!VideoReady()) {
        *point = {0, 0};
        return;
    }
    if (gWarpPending) {
        *point = gWarpedTo;
        return;
    }
    // Over our window SDL's own record follows every motion pumped so far; its global query answers
    // from a cache that only raw device events refresh, which synthetic (XTest) input never sends.
    if (SDL_Window* over = SDL_GetMouseFocus()) {
        const POINT corner = ScreenPositionOf(over);
        SDL_GetMouseState(&x, &y);
        *point = {corner.x + x, corner.y + y};
        return;
    }
    SDL_GetGlobalMouseState(&x, &y);
    *point = {x - PrimaryOrigin().x, y - PrimaryOrigin().y};
}

void NativeMoveCursor(int x, int y) {
    if (!VideoReady()) {
        return;
    }
    gWarpPending = true;
    gWarpedTo = {x, y};
    if (SDL_WarpMouseGlobal(x + PrimaryOrigin().x, y + PrimaryOrigin().y) == 0) {
        return;
    }
    // Where global warping is refused, the pointer can still be moved inside the focused window.
    if (SDL_Window* focused = SDL_GetKeyboardFocus()) {
        const POINT corner = ScreenPositionOf(focused);
        SDL_WarpMouseInWindow(focused, x - corner.x, y - corner.y);
    }
}
