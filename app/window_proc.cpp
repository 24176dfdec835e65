// The window procedure: hands focus, key and mouse messages to the input and camera code, then
// the file timer to the scene's reload, then always to the default procedure, with Escape's key press passed
// on as a close request.
#include "app/window_proc.h"

#include "camera/input_state.h"
#include "camera/mouse_look.h"
#include "render/scene_reload.h"

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_SETFOCUS:
            HandleFocusChange(true);
            break;
        case WM_KILLFOCUS:
            HandleFocusChange(false);
            break;
        case WM_KEYDOWN:
            if (HandleKeyDown(wParam)) {
                message = WM_CLOSE;
            }
            break;
        case WM_KEYUP:
            HandleKeyUp(wParam);
            break;
        case WM_MOUSEMOVE:
            ApplyMouseLook();
            break;
        case WM_TIMER:
            if (wParam == kFileCheckTimer) {
                FollowSceneFiles();
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
