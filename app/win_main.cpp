// The program's entry: its command line, start-up in its fixed order, the main loop, shutdown.
#include <optional>
#include <utility>

#include "app/arguments.h"
#include "app/window_proc.h"
#include "camera/camera.h"
#include "camera/input_state.h"
#include "platform/platform.h"
#include "platform/report.h"
#include "platform/screen_metrics.h"
#include "render/device_recovery.h"
#include "render/map_load.h"
#include "render/render_frame.h"
#include "render/render_resources.h"
#include "render/scene_reload.h"
#include "scene/map_file.h"
#include "scene/normals.h"
#include "scene/scene_data.h"

namespace {

constexpr const wchar_t* kClassName = L"D3D Vellmora";
constexpr const wchar_t* kWindowTitle = L"Vellmora";
// The low word of a window style belongs to the window class; this bit has no meaning for ours.
constexpr DWORD kClassSpecificStyleBit = 0x8u;
// A popup: no border or caption.
constexpr DWORD kWindowStyle = WS_POPUP | kClassSpecificStyleBit;

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    return RegisterClassExW(&windowClass) != 0;
}

void FillScreenMetrics(ScreenMetrics& screen) {
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    screen.centreX = screen.width >> 1;
    screen.centreY = screen.height >> 1;
}

// A window being destroyed, its quit posted, is drawn no more and its lost device not asked again:
// under Wine such a frame took seconds, and a restore that fails then would end it with E_FAIL.
bool QuitPosted() {
    MSG quit;
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

// One message for a frame, the keyboard's first. Under Wine a key waits behind the mouse moves that
// came before it, a frame each, and a frame is long in a heavy scene; asking for the keyboard alone
// also has Wine read the input that waits, so that Escape is handled in the pass after its frame.
bool PeekNextMessage(MSG& msg) {
    return PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
}

// With a pass of up to kLostPassMs on top, the device is asked every 60 to 80 ms: soon after it
// comes back, and seldom enough to cost nothing.
constexpr DWORD kLostDeviceCheckMs = 60;
// About a display refresh, the pace of the frames that are not drawn.
constexpr DWORD kLostPassMs = 16;

// Lost: no frames. One message at most, then a pause as long as a frame; or, with none, a sleep
// until one comes or the device is due to be asked again. Without the pause a mouse move, whose
// handling puts the pointer back at the centre and so brings another, would keep the loop busy.
// False when the device cannot be restored.
bool WaitForDevice(MSG& msg, DWORD& lastCheck) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
        Sleep(kLostPassMs);
    } else if (const DWORD waited = GetTickCount() - lastCheck; waited < kLostDeviceCheckMs) {
        MsgWaitForMultipleObjectsEx(0, nullptr, kLostDeviceCheckMs - waited, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
    const DWORD now = GetTickCount();
    if (msg.message == WM_QUIT || now - lastCheck < kLostDeviceCheckMs || QuitPosted()) {
        return true;
    }
    lastCheck = now;
    return RestoreLostDevice(gScreen) != Recovery::kImpossible;
}

// Active: one message at most, then a frame. Paused: sleep until a message comes. False when a
// lost device cannot be restored.
bool RunMainLoop() {
    MSG msg{};
    DWORD lastCheck = 0;
    while (msg.message != WM_QUIT) {
        if (gInput.active && gRender.lost) {
            if (!WaitForDevice(msg, lastCheck)) {
                return false;
            }
        } else if (gInput.active) {
            if (PeekNextMessage(msg)) {
                DispatchMessageW(&msg);
            }
            if (msg.message != WM_QUIT && !QuitPosted()) {
                RenderFrame();
            }
        } else if (GetMessageW(&msg, nullptr, 0, 0)) {
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// Start-up in its fixed order; false at the first step that fails, with nothing released.
bool StartUp() {
    std::future<MapRead> map = StartReadingMap();  // while the window and the device are made
    InitInputState();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance)) {
        ReportLine("vellmora: RegisterClassExW failed");
        return false;
    }
    FillScreenMetrics(gScreen);
    HWND window = CreateWindowExW(0, kClassName, kWindowTitle, kWindowStyle, 0, 0, gScreen.width,
                                  gScreen.height, GetDesktopWindow(), nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    // The device code and LoadMap report their own failures.
    if (!CreateDeviceObjects(window, gScreen)) {
        return false;
    }
    MapRead read = map.get();
    const WatchedFile mapFile = read.source;
    TextureCache cache;
    if (!LoadMap(gRender.device, gScene, std::move(read), cache)) {
        return false;
    }
    KeepSceneSource(mapFile, cache);
    InitCamera(gScene.startPosition);
    GenerateNormals(gScene);
    if (!CreateSceneResources(gScene, gScreen)) {
        return false;
    }
    SetCursorPos(gScreen.centreX, gScreen.centreY);
    SetTimer(window, kFileCheckTimer, kFileCheckMs, nullptr);  // without it the scene is only not followed
    ValidateRect(window, nullptr);
    return true;
}

void ShutDown() {
    if (!gInput.cursorVisible) {
        ShowCursor(TRUE);
    }
    ReleaseAll(gScene);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (const std::optional<int> ended = FollowCommandLine(commandLine)) {
        return *ended;
    }
    if (!StartUp()) {
        return E_FAIL;
    }
    const bool ended = RunMainLoop();
    ShutDown();
    return ended ? 0 : E_FAIL;
}
