#include "tests/fakes/fake_window.h"

#include <algorithm>
#include <string>

#include "tests/fakes/fake_pointer.h"

FakeWin32 gFakeWin32;

namespace {

// An empty queue would leave a waiting or polling loop running for ever: quit instead and say so.
constexpr int kEmptyPollsBeforeQuit = 1000;

// Moves the timed messages whose time has come into the queue.
void Arrive() {
    while (!gFakeWin32.timed.empty() && gFakeWin32.timed.front().first <= gFakeWin32.tick) {
        gFakeWin32.queue.push_back(gFakeWin32.timed.front().second);
        gFakeWin32.timed.pop_front();
    }
}

// Waits until a message arrives or the clock reaches deadline.
void WaitUntil(DWORD deadline) {
    if (gFakeWin32.queue.empty()) {
        const bool comes = !gFakeWin32.timed.empty() && gFakeWin32.timed.front().first <= deadline;
        gFakeWin32.tick = comes ? std::max(gFakeWin32.tick, gFakeWin32.timed.front().first) : deadline;
        Arrive();
    }
}

void TakeMessage(MSG* msg) {
    if (gFakeWin32.queue.empty()) {
        gFakeWin32.starved = true;
        gFakeWin32.queue.push_back(MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}});
    }
    *msg = gFakeWin32.queue.front();
    gFakeWin32.queue.pop_front();
}

}  // namespace

void ResetFakeWin32() {
    gFakeWin32 = FakeWin32{};
}

void PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    gFakeWin32.queue.push_back(MSG{kFakeWindow, message, wParam, lParam, 0, {0, 0}});
}

void PostToWindowAt(DWORD time, UINT message, WPARAM wParam, POINT point) {
    gFakeWin32.timed.emplace_back(time, MSG{kFakeWindow, message, wParam, 0, time, point});
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass) {
    gFakeWin32.calls.push_back("RegisterClassExW");
    gFakeWin32.registeredClass = *windowClass;
    gFakeWin32.registeredClassName = windowClass->lpszClassName;
    return gFakeWin32.registerResult;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    gFakeWin32.calls.push_back("CreateWindowExW");
    gFakeWin32.exStyle = exStyle;
    gFakeWin32.windowClassName = className;
    gFakeWin32.windowTitle = windowName;
    gFakeWin32.style = style;
    gFakeWin32.x = x;
    gFakeWin32.y = y;
    gFakeWin32.width = width;
    gFakeWin32.height = height;
    gFakeWin32.parent = parent;
    gFakeWin32.menu = menu;
    gFakeWin32.windowInstance = instance;
    gFakeWin32.createParameter = param;
    return kFakeWindow;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    gFakeWin32.calls.push_back("ShowWindow(" + std::string(window == kFakeWindow ? "window" : "?") + ", " +
                               std::to_string(command) + ")");
    return FALSE;
}

BOOL WINAPI UpdateWindow(HWND window) {
    gFakeWin32.calls.push_back(std::string("UpdateWindow(") + (window == kFakeWindow ? "window" : "?") + ")");
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT* rect) {
    gFakeWin32.calls.push_back(std::string("ValidateRect(") + (window == kFakeWindow ? "window" : "?") +
                               (rect == nullptr ? ", null" : ", rect") + ")");
    return TRUE;
}

HWND WINAPI GetDesktopWindow() {
    return kFakeDesktop;
}

int WINAPI GetSystemMetrics(int index) {
    gFakeWin32.calls.push_back("GetSystemMetrics(" + std::to_string(index) + ")");
    if (index == SM_CXSCREEN) {
        return gFakeWin32.screenWidth;
    }
    return index == SM_CYSCREEN ? gFakeWin32.screenHeight : 0;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return instance == nullptr && name == IDC_ARROW ? kFakeArrow : nullptr;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return instance == nullptr && name == IDI_APPLICATION ? kFakeIcon : nullptr;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    return moduleName == nullptr ? kFakeInstance : nullptr;
}

BOOL WINAPI PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    if (window == nullptr && (filterMin != 0 || filterMax != 0)) {
        // A look for certain messages: not a poll of its own, so the clock does not move.
        const auto found = std::find_if(
            gFakeWin32.queue.begin(), gFakeWin32.queue.end(),
            [&](const MSG& queued) { return queued.message >= filterMin && queued.message <= filterMax; });
        if (found == gFakeWin32.queue.end()) return FALSE;
        *msg = *found;
        if (removeMessage == PM_REMOVE) gFakeWin32.queue.erase(found);
        return TRUE;
    }
    gFakeWin32.calls.push_back("PeekMessageW");
    ++gFakeWin32.peekCount;
    ++gFakeWin32.tick;
    Arrive();
    if (window != nullptr || filterMin != 0 || filterMax != 0 || removeMessage != PM_REMOVE) {
        return FALSE;
    }
    if (gFakeWin32.queue.empty() && gFakeWin32.peekCount < kEmptyPollsBeforeQuit) {
        return FALSE;
    }
    TakeMessage(msg);
    return TRUE;
}

BOOL WINAPI GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    gFakeWin32.calls.push_back("GetMessageW");
    ++gFakeWin32.getCount;
    if (window != nullptr || filterMin != 0 || filterMax != 0) {
        return -1;
    }
    if (!gFakeWin32.timed.empty()) {
        WaitUntil(gFakeWin32.timed.back().first);
    }
    TakeMessage(msg);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD wakeMask,
                                         DWORD flags) {
    gFakeWin32.calls.push_back("MsgWaitForMultipleObjectsEx(" + std::to_string(milliseconds) + ")");
    if (count != 0 || wakeMask != QS_ALLINPUT || flags != MWMO_INPUTAVAILABLE) {
        return WAIT_FAILED;
    }
    WaitUntil(gFakeWin32.tick + milliseconds);
    gFakeWin32.calls.push_back("woke at " + std::to_string(gFakeWin32.tick));
    return gFakeWin32.queue.empty() ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}

void WINAPI Sleep(DWORD milliseconds) {
    gFakeWin32.calls.push_back("Sleep(" + std::to_string(milliseconds) + ")");
    gFakeWin32.tick += milliseconds;
    gFakeWin32.calls.push_back("woke at " + std::to_string(gFakeWin32.tick));
    Arrive();
}

DWORD WINAPI GetTickCount() {
    return gFakeWin32.tick;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    gFakeWin32.calls.push_back("DispatchMessageW(" + std::to_string(msg->message) + ")");
    if (msg->hwnd != kFakeWindow || gFakeWin32.registeredClass.lpfnWndProc == nullptr) {
        return 0;
    }
    if (msg->message == WM_MOUSEMOVE && (msg->pt.x != 0 || msg->pt.y != 0)) {
        gFakePointer.position = msg->pt;
    }
    return gFakeWin32.registeredClass.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gFakeWin32.defaultCalls.push_back({window, message, wParam, lParam});
    if (message == WM_CLOSE && window == kFakeWindow && gFakeWin32.registeredClass.lpfnWndProc != nullptr) {
        gFakeWin32.registeredClass.lpfnWndProc(window, WM_DESTROY, 0, 0);
    }
    return gFakeWin32.defaultResult;
}

void WINAPI PostQuitMessage(int exitCode) {
    gFakeWin32.calls.push_back("PostQuitMessage(" + std::to_string(exitCode) + ")");
    gFakeWin32.quitCode = exitCode;
    gFakeWin32.queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC) {
    gFakeWin32.calls.push_back(std::string("SetTimer(") + (window == kFakeWindow ? "window" : "?") + ", " +
                               std::to_string(id) + ", " + std::to_string(milliseconds) + ")");
    return id;
}
