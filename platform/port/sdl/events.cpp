// SDL events as Win32 messages: focus changes and close requests are sent to the window procedure
// from inside the message calls, keys and pointer motion are posted. Not implemented: mouse
// buttons and the wheel, text input, resizing.
#include <algorithm>

#include "platform/port/key_map.h"
#include "platform/port/message_queue.h"
#include "platform/port/native.h"
#include "platform/port/pointer_state.h"
#include "platform/port/sdl/video.h"

namespace {

// Events without a window of theirs (keys while SDL knows of no focus) belong to the live window.
HWND WindowOfEvent(Uint32 windowId) {
    if (HWND window = WindowOfNative(SDL_GetWindowFromID(windowId))) {
        return window;
    }
    for (std::size_t i = 0; i < gPortQueue.windows.size(); ++i) {
        if (gPortQueue.windows[i].alive) {
            return PortWindowHandle(i);
        }
    }
    return nullptr;
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    const HWND window = WindowOfNative(SDL_GetWindowFromID(event.windowID));
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SetPointerFocus(true);
            SendPortMessage(window, WM_SETFOCUS, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            SetPointerFocus(false);
            SendPortMessage(window, WM_KILLFOCUS, 0, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            SendPortMessage(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            InvalidatePortWindow(window);
            break;
        default:
            break;
    }
}

void PostKey(const SDL_KeyboardEvent& event) {
    MSG msg{};
    if (!TranslateKeyEvent(event.keysym.sym, event.keysym.scancode, event.keysym.mod,
                           event.type == SDL_KEYDOWN, event.repeat != 0, &msg)) {
        return;
    }
    msg.hwnd = WindowOfEvent(event.windowID);
    msg.time = event.timestamp;
    GetCursorPos(&msg.pt);
    if (msg.hwnd != nullptr) {
        PostPortMessage(msg);
    }
}

void PostMotion(const SDL_MouseMotionEvent& event) {
    ForgetWarp();
    MSG msg{};
    msg.hwnd = WindowOfEvent(event.windowID);
    SDL_Window* native = NativeWindowOf(msg.hwnd);
    if (native == nullptr) {
        return;
    }
    const POINT corner = ScreenPositionOf(native);
    if (gPointer.virtualActive) {
        MoveVirtualPointer(event.xrel, event.yrel);
        msg.pt = gPointer.virtualPosition;
    } else {
        msg.pt = {corner.x + event.x, corner.y + event.y};
    }
    msg.message = WM_MOUSEMOVE;
    // Client coordinates, 16 bits each, as MAKELPARAM packs them.
    const auto clientX = static_cast<std::uint16_t>(msg.pt.x - corner.x);
    const auto clientY = static_cast<std::uint16_t>(msg.pt.y - corner.y);
    msg.lParam = static_cast<LPARAM>(clientX | (static_cast<std::uint32_t>(clientY) << 16));
    msg.time = event.timestamp;
    PostPortMessage(msg);
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window);
            break;
        case SDL_QUIT:
            // A termination request for the whole program closes every window.
            for (std::size_t i = 0; i < gPortQueue.windows.size(); ++i) {
                SendPortMessage(PortWindowHandle(i), WM_CLOSE, 0, 0);
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            PostKey(event.key);
            break;
        case SDL_MOUSEMOTION:
            PostMotion(event.motion);
            break;
        default:
            break;
    }
}

}  // namespace

void NativePumpEvents(DWORD waitMs) {
    if (!VideoReady()) {
        // Nothing can arrive without a display; waiting is all there is to do.
        if (waitMs != 0) {
            SDL_Delay(waitMs == INFINITE ? 10 : std::min<DWORD>(waitMs, 10));
        }
        return;
    }
    SDL_Event event;
    const int arrived = waitMs == 0          ? 0
                        : waitMs == INFINITE ? SDL_WaitEvent(&event)
                                             : SDL_WaitEventTimeout(&event, static_cast<int>(waitMs));
    if (arrived != 0) {
        Translate(event);
    }
    while (SDL_PollEvent(&event) != 0) {
        Translate(event);
    }
}
