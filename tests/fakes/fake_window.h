#pragma once
// The Win32 window and message services for tests: the class and window are recorded as asked
// for, the message queue is a scripted list, DispatchMessageW calls the registered procedure and
// DefWindowProcW records what reaches it and closes the window on WM_CLOSE as Windows does.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

struct DefaultProcedureCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct FakeWin32 {
    std::vector<std::string> calls;  // the order of the window, message and device calls

    ATOM registerResult = 1;
    WNDCLASSEXW registeredClass{};
    std::wstring registeredClassName;

    DWORD exStyle = 0;
    std::wstring windowClassName;
    std::wstring windowTitle;
    DWORD style = 0;
    int x = -1, y = -1, width = -1, height = -1;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    HINSTANCE windowInstance = nullptr;
    void* createParameter = nullptr;

    int screenWidth = 1280;
    int screenHeight = 721;

    std::deque<MSG> queue;  // what PeekMessageW and GetMessageW hand out, front first
    // The clock: each PeekMessageW for any message takes a millisecond, Sleep its time; MsgWaitForMultipleObjectsEx
    // waits out its time or until the next timed message, GetMessageW until the next timed message.
    DWORD tick = 0;
    std::deque<std::pair<DWORD, MSG>> timed;  // messages that arrive at a time, earliest first
    int peekCount = 0;
    int getCount = 0;
    bool starved = false;  // the queue ran dry and a WM_QUIT had to be made up

    std::vector<DefaultProcedureCall> defaultCalls;
    LRESULT defaultResult = 0;
    int quitCode = -1;
};

extern FakeWin32 gFakeWin32;

inline const HWND kFakeWindow = reinterpret_cast<HWND>(0x10);
inline const HWND kFakeDesktop = reinterpret_cast<HWND>(0x20);
inline const HINSTANCE kFakeInstance = reinterpret_cast<HINSTANCE>(0x30);
inline const HCURSOR kFakeArrow = reinterpret_cast<HCURSOR>(0x40);
inline const HICON kFakeIcon = reinterpret_cast<HICON>(0x50);

void ResetFakeWin32();
// Queues a message for the program's window, now or when the clock reaches time. A mouse move
// with a point puts the fake pointer there as it is dispatched.
void PostToWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void PostToWindowAt(DWORD time, UINT message, WPARAM wParam = 0, POINT point = {0, 0});
