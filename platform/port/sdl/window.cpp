// SDL video start-up, the screen metrics, and CreateWindowExW/ShowWindow as a borderless window
// over the primary display (SDL display 0). Not implemented: window styles other than the popup,
// parent and child windows, resizing and moving after creation.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/port/message_queue.h"
#include "platform/port/native.h"
#include "platform/port/pointer_state.h"
#include "platform/port/sdl/video.h"

namespace {

enum class VideoState { kUntried, kReady, kFailed };
VideoState gVideo = VideoState::kUntried;
SDL_Rect gDisplay{0, 0, 0, 0};  // the primary display, asked once when video starts

std::string Utf8Of(LPCWSTR text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        const auto c = static_cast<std::uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

void ReportStartupFailure(const char* missing) {
    std::fprintf(stderr, "vellmora: %s: %s\n", missing, SDL_GetError());
}

bool EnsureVideo() {
    if (gVideo != VideoState::kUntried) {
        return gVideo == VideoState::kReady;
    }
    // Only a real display will do: SDL would otherwise fall back to drawing off-screen, unseen.
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        std::string drivers;
        if (const char* x11 = SDL_getenv("DISPLAY"); x11 != nullptr && *x11 != 0) {
            drivers = "x11";
        }
        if (const char* wayland = SDL_getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != 0) {
            drivers += drivers.empty() ? "wayland" : ",wayland";
        }
        if (drivers.empty()) {
            std::fprintf(stderr, "vellmora: no display: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
            gVideo = VideoState::kFailed;
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    // A full-screen window that minimises when another window takes the focus would vanish behind it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportStartupFailure("no display");
        gVideo = VideoState::kFailed;
        return false;
    }
    gVideo = VideoState::kReady;
    // The window's visual is chosen when it is made, so the context's wishes go first. Depth lives
    // in a framebuffer object of its own, as 16 bits as Direct3D's D16.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    gPointer.virtualAllowed = std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0;
    SDL_GetDisplayBounds(0, &gDisplay);
    gPointer.screen = {0, 0, gDisplay.w, gDisplay.h};
    // ShowCursor may have been called before there was a display.
    NativeShowCursor(gPointer.displayCount >= 0);
    return true;
}

bool VideoReady() {
    return gVideo == VideoState::kReady;
}

SDL_Point PrimaryOrigin() {
    return {gDisplay.x, gDisplay.y};
}

POINT ScreenPositionOf(SDL_Window* window) {
    int left = 0;
    int top = 0;
    SDL_GetWindowPosition(window, &left, &top);
    return {left - gDisplay.x, top - gDisplay.y};
}

SDL_Window* NativeWindowOf(HWND window) {
    const PortWindow* record = FindPortWindow(window);
    return record == nullptr ? nullptr : static_cast<SDL_Window*>(record->native);
}

HWND WindowOfNative(SDL_Window* native) {
    for (std::size_t i = 0; native != nullptr && i < gPortQueue.windows.size(); ++i) {
        if (gPortQueue.windows[i].alive && gPortQueue.windows[i].native == native) {
            return PortWindowHandle(i);
        }
    }
    return nullptr;
}

int WINAPI GetSystemMetrics(int index) {
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !EnsureVideo()) {
        return 0;
    }
    return index == SM_CXSCREEN ? gDisplay.w : gDisplay.h;
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, void*) {
    const WindowClassRecord* windowClass = FindWindowClass(className);
    if (windowClass == nullptr || width <= 0 || height <= 0 || !EnsureVideo()) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    // A window the size of the screen is asked of the desktop as full-screen, so that a
    // compositor that places windows itself (Wayland) still covers the screen with it.
    if (x == 0 && y == 0 && width == gDisplay.w && height == gDisplay.h) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    SDL_Window* native =
        SDL_CreateWindow(Utf8Of(windowName).c_str(), x + gDisplay.x, y + gDisplay.y, width, height, flags);
    if (native == nullptr) {
        ReportStartupFailure("no window");
        return nullptr;
    }
    const HWND window = AddPortWindow(windowClass->procedure);
    FindPortWindow(window)->native = native;
    return window;
}

BOOL WINAPI ShowWindow(HWND window, int) {
    SDL_Window* native = NativeWindowOf(window);
    if (native == nullptr) {
        return FALSE;
    }
    const bool wasVisible = (SDL_GetWindowFlags(native) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(native);
    // Showing activates, as SW_SHOW does; without a window manager nobody else gives the focus.
    SDL_RaiseWindow(native);
    SDL_SetWindowInputFocus(native);
    if (!wasVisible) {
        InvalidatePortWindow(window);
    }
    return wasVisible ? TRUE : FALSE;
}

void NativeDestroyWindow(PortWindow& window) {
    // The SDL window outlives the handle: the device may still present into it until it is released.
    SDL_HideWindow(static_cast<SDL_Window*>(window.native));
}
