// Win32 window classes, window handles and the message queue: posting, retrieval in Win32's order
// (posted messages, then WM_QUIT, then WM_PAINT, then WM_TIMER), window timers, waiting,
// dispatching and the default window procedure; the millisecond clock that waits are measured by,
// and a plain sleep. Not implemented: timers without a window or with a callback, message filters
// on hooks, child windows, window and class extra bytes.
#include "platform/port/message_queue.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <thread>

#include "platform/port/native.h"

PortQueue gPortQueue;

namespace {

constexpr UINT_PTR kDesktopHandle = 0x10010;
constexpr LPARAM kAltDownBit = LPARAM{KF_ALTDOWN} << 16;
constexpr DWORD kShortestTimer = 10;  // USER_TIMER_MINIMUM

// Milliseconds until the timer is due; 0 once it is.
DWORD UntilDue(const PortTimer& timer) {
    const auto late = static_cast<std::int32_t>(GetTickCount() - timer.due);
    return late >= 0 ? 0 : static_cast<DWORD>(-late);
}

// The timer a retrieval with these filters waits for first, or null.
PortTimer* NextTimer(HWND window, UINT filterMin, UINT filterMax) {
    PortTimer* next = nullptr;
    for (PortTimer& timer : gPortQueue.timers) {
        const bool wanted =
            (window == nullptr || timer.window == window) &&
            ((filterMin == 0 && filterMax == 0) || (WM_TIMER >= filterMin && WM_TIMER <= filterMax));
        if (wanted && (next == nullptr || UntilDue(timer) < UntilDue(*next))) next = &timer;
    }
    return next;
}

// How long a wait for the window system may last before a timer is due.
DWORD WaitBeforeTimer(HWND window, UINT filterMin, UINT filterMax, DWORD most) {
    const PortTimer* next = NextTimer(window, filterMin, filterMax);
    return next == nullptr ? most : std::min(most, UntilDue(*next));
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) {
        return false;
    }
    return (filterMin == 0 && filterMax == 0) || (msg.message >= filterMin && msg.message <= filterMax);
}

bool TakeMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    std::deque<MSG>& posted = gPortQueue.posted;
    auto found = std::find_if(posted.begin(), posted.end(),
                              [&](const MSG& m) { return Matches(m, window, filterMin, filterMax); });
    if (found != posted.end()) {
        *msg = *found;
        if (remove) {
            posted.erase(found);
        }
        return true;
    }
    MSG quit{nullptr, WM_QUIT, static_cast<WPARAM>(gPortQueue.quitCode), 0, 0, {0, 0}};
    if (gPortQueue.quitPosted && Matches(quit, window, filterMin, filterMax)) {
        *msg = quit;
        if (remove) {
            gPortQueue.quitPosted = false;
        }
        return true;
    }
    // WM_PAINT stays until the window is validated, whether or not it was removed.
    for (std::size_t i = 0; i < gPortQueue.windows.size(); ++i) {
        const PortWindow& candidate = gPortQueue.windows[i];
        MSG paint{PortWindowHandle(i), WM_PAINT, 0, 0, 0, {0, 0}};
        if (candidate.alive && candidate.needsPaint && Matches(paint, window, filterMin, filterMax)) {
            *msg = paint;
            return true;
        }
    }
    // A timer's message is made when asked for, so a slow reader gets one, not a backlog.
    PortTimer* timer = NextTimer(window, filterMin, filterMax);
    if (timer != nullptr && UntilDue(*timer) == 0) {
        *msg = MSG{timer->window, WM_TIMER, timer->id, 0, GetTickCount(), {0, 0}};
        if (remove) timer->due = GetTickCount() + timer->interval;
        return true;
    }
    return false;
}

bool HasMessages() {
    return !gPortQueue.posted.empty() || gPortQueue.quitPosted ||
           std::any_of(gPortQueue.windows.begin(), gPortQueue.windows.end(),
                       [](const PortWindow& window) { return window.alive && window.needsPaint; }) ||
           WaitBeforeTimer(nullptr, 0, 0, INFINITE) == 0;
}

void DestroyPortWindow(HWND handle) {
    PortWindow* window = FindPortWindow(handle);
    // A close asked for again from inside WM_DESTROY destroys nothing twice.
    if (window == nullptr || window->destroying) {
        return;
    }
    window->destroying = true;
    NativeDestroyWindow(*window);
    SendPortMessage(handle, WM_DESTROY, 0, 0);
    // The procedure may have created windows, so the record is looked up again.
    FindPortWindow(handle)->alive = false;
    std::erase_if(gPortQueue.posted, [&](const MSG& m) { return m.hwnd == handle; });
    std::erase_if(gPortQueue.timers, [&](const PortTimer& t) { return t.window == handle; });
}

}  // namespace

const WindowClassRecord* FindWindowClass(LPCWSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const WindowClassRecord& record : gPortQueue.classes) {
        if (record.name == name) {
            return &record;
        }
    }
    return nullptr;
}

HWND AddPortWindow(WNDPROC procedure) {
    PortWindow window;
    window.procedure = procedure;
    window.alive = true;
    gPortQueue.windows.push_back(window);
    return PortWindowHandle(gPortQueue.windows.size() - 1);
}

PortWindow* FindPortWindow(HWND window) {
    const auto handle = reinterpret_cast<UINT_PTR>(window);
    if (handle == 0 || handle > gPortQueue.windows.size() || !gPortQueue.windows[handle - 1].alive) {
        return nullptr;
    }
    return &gPortQueue.windows[handle - 1];
}

void PostPortMessage(const MSG& msg) {
    std::deque<MSG>& posted = gPortQueue.posted;
    if (msg.message == WM_MOUSEMOVE && !posted.empty() && posted.back().message == WM_MOUSEMOVE &&
        posted.back().hwnd == msg.hwnd) {
        posted.back() = msg;
        return;
    }
    posted.push_back(msg);
}

LRESULT SendPortMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PortWindow* record = FindPortWindow(window);
    if (record == nullptr || record->procedure == nullptr) {
        return 0;
    }
    return record->procedure(window, message, wParam, lParam);
}

void InvalidatePortWindow(HWND window) {
    if (PortWindow* record = FindPortWindow(window)) {
        record->needsPaint = true;
    }
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXW) ||
        windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr ||
        FindWindowClass(windowClass->lpszClassName) != nullptr) {
        return 0;
    }
    gPortQueue.classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    // Win32 class atoms start at 0xC000.
    return static_cast<ATOM>(0xC000 + gPortQueue.classes.size() - 1);
}

HWND WINAPI GetDesktopWindow() {
    return reinterpret_cast<HWND>(kDesktopHandle);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    static char executable;
    return moduleName == nullptr ? reinterpret_cast<HMODULE>(&executable) : nullptr;
}

// Only the system's shared cursor and icon exist; the handle is the resource number itself.
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return instance == nullptr && name == IDC_ARROW ? reinterpret_cast<HCURSOR>(const_cast<WCHAR*>(name))
                                                    : nullptr;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return instance == nullptr && name == IDI_APPLICATION ? reinterpret_cast<HICON>(const_cast<WCHAR*>(name))
                                                          : nullptr;
}

BOOL WINAPI UpdateWindow(HWND window) {
    PortWindow* record = FindPortWindow(window);
    if (record == nullptr) {
        return FALSE;
    }
    if (record->needsPaint) {
        SendPortMessage(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

// The whole client area is the only rectangle there is to validate.
BOOL WINAPI ValidateRect(HWND window, const RECT*) {
    PortWindow* record = FindPortWindow(window);
    if (record == nullptr) {
        return FALSE;
    }
    record->needsPaint = false;
    return TRUE;
}

BOOL WINAPI PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    if (msg == nullptr) {
        return FALSE;
    }
    NativePumpEvents(0);
    return TakeMessage(msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return -1;
    }
    NativePumpEvents(0);
    while (!TakeMessage(msg, window, filterMin, filterMax, true)) {
        NativePumpEvents(WaitBeforeTimer(window, filterMin, filterMax, INFINITE));
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

// There are no other objects to wait for than the queue. Input already there counts, seen or not
// (MWMO_INPUTAVAILABLE); an event that brings no message may end the wait early.
DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD, DWORD) {
    if (count != 0) {
        return WAIT_FAILED;
    }
    NativePumpEvents(0);
    if (!HasMessages() && milliseconds != 0) {
        NativePumpEvents(WaitBeforeTimer(nullptr, 0, 0, milliseconds));
    }
    return HasMessages() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure) {
    if (FindPortWindow(window) == nullptr || procedure != nullptr) {
        return 0;
    }
    const DWORD interval = std::max<DWORD>(milliseconds, kShortestTimer);
    KillTimer(window, id);  // the same window and number: replaced
    gPortQueue.timers.push_back({window, id, interval, GetTickCount() + interval});
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    return std::erase_if(gPortQueue.timers,
                         [&](const PortTimer& t) { return t.window == window && t.id == id; })
               ? TRUE
               : FALSE;
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetTickCount() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    return SendPortMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyPortWindow(window);
            return 0;
        case WM_PAINT:
            ValidateRect(window, nullptr);
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4 closes the window, as the system menu's Close does.
            if (wParam == VK_F4 && (lParam & kAltDownBit) != 0) {
                SendPortMessage(window, WM_CLOSE, 0, 0);
            }
            return 0;
        default:
            return 0;
    }
}

void WINAPI PostQuitMessage(int exitCode) {
    gPortQueue.quitPosted = true;
    gPortQueue.quitCode = exitCode;
}
