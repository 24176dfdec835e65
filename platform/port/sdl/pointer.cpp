// The real pointer through SDL: visibility, position and warping in screen coordinates, and SDL's
// relative mouse mode for the virtual pointer on Wayland. Not implemented: cursor shapes.
#include "platform/port/native.h"
#include "platform/port/sdl/video.h"

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
    if (VideoReady()) {
        SDL_GetGlobalMouseState(&x, &y);
    }
    *point = {x, y};
}

void NativeMoveCursor(int x, int y) {
    if (!VideoReady() || SDL_WarpMouseGlobal(x, y) == 0) {
        return;
    }
    // Where global warping is refused, the pointer can still be moved inside the focused window.
    if (SDL_Window* focused = SDL_GetKeyboardFocus()) {
        int left = 0;
        int top = 0;
        SDL_GetWindowPosition(focused, &left, &top);
        SDL_WarpMouseInWindow(focused, x - left, y - top);
    }
}
