#pragma once
// Window classes, windows and the thread's message queue, kept apart from any window system so
// the Win32 message semantics can be tested without a display.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/port/win32.h"

struct PortWindow {
    WNDPROC procedure = nullptr;
    void* native = nullptr;  // the window system's window
    bool alive = false;
    bool destroying = false;
    bool needsPaint = false;
};

struct WindowClassRecord {
    std::wstring name;
    WNDPROC procedure = nullptr;
};

struct PortTimer {
    HWND window;
    UINT_PTR id;
    DWORD interval;
    DWORD due;  // GetTickCount's time of its next WM_TIMER
};

struct PortQueue {
    std::vector<WindowClassRecord> classes;
    std::vector<PortWindow> windows;  // a window's handle is its index + 1; handles are never reused
    std::deque<MSG> posted;
    std::vector<PortTimer> timers;
    bool quitPosted = false;
    int quitCode = 0;
};

extern PortQueue gPortQueue;

const WindowClassRecord* FindWindowClass(LPCWSTR name);
HWND AddPortWindow(WNDPROC procedure);
// Null for handles that never named a window and for destroyed windows.
PortWindow* FindPortWindow(HWND window);
// A window's handle is its place in gPortQueue.windows plus one, so that no window is null.
inline HWND PortWindowHandle(std::size_t index) {
    return reinterpret_cast<HWND>(index + 1);
}
// Mouse moves are coalesced as Win32 does: a move right behind another move replaces it, so the
// queue cannot fill up while the program handles one message per frame.
void PostPortMessage(const MSG& msg);
LRESULT SendPortMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InvalidatePortWindow(HWND window);
