#include "platform/port/message_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/port/pointer_state.h"
#include "tests/port/fake_native.h"

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
};

std::vector<Seen> gSeen;

// A window procedure shaped like the program's: records, quits on WM_DESTROY, defers to the default.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gSeen.push_back({window, message, wParam});
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

MSG Message(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return MSG{window, message, wParam, lParam, 0, {0, 0}};
}

class MessageQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        gPortQueue = PortQueue{};
        gPointer = PointerState{};
        gNative = FakeNative{};
        gSeen.clear();
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = L"Test";
        ASSERT_NE(RegisterClassExW(&windowClass), 0);
        window = AddPortWindow(RecordingProc);
    }

    HWND window = nullptr;
};

TEST_F(MessageQueue, PostedMessagesComeOutInOrderAndPeekWithoutRemoveLeavesThem) {
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    PostPortMessage(Message(window, WM_KEYDOWN, 'W'));
    PostPortMessage(Message(window, WM_KEYUP, 'W'));

    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('W'));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, FiltersPassOverOtherWindowsAndMessages) {
    const HWND other = AddPortWindow(RecordingProc);
    PostPortMessage(Message(other, WM_KEYDOWN, 'A'));
    PostPortMessage(Message(window, WM_MOUSEMOVE));
    PostPortMessage(Message(window, WM_KEYDOWN, 'B'));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('B'));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
}

TEST_F(MessageQueue, QuitComesAfterThePostedMessagesOnceWithItsExitCode) {
    PostPortMessage(Message(window, WM_KEYDOWN, VK_SPACE));
    PostQuitMessage(3);
    MSG msg{};
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, PeekReturnsQuitAsAMessageThatDispatchesToNoWindow) {
    PostQuitMessage(0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_TRUE(gSeen.empty());
}

TEST_F(MessageQueue, DispatchCallsTheWindowsProcedure) {
    const MSG msg = Message(window, WM_KEYUP, VK_TAB);
    DispatchMessageW(&msg);
    ASSERT_EQ(gSeen.size(), 1u);
    EXPECT_EQ(gSeen[0].window, window);
    EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(gSeen[0].wParam, static_cast<WPARAM>(VK_TAB));
}

TEST_F(MessageQueue, DefaultCloseDestroysTheWindowDropsItsMessagesAndEndsTheLoop) {
    PostPortMessage(Message(window, WM_KEYDOWN, 'D'));
    SendPortMessage(window, WM_CLOSE, 0, 0);

    ASSERT_EQ(gSeen.size(), 2u);
    EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(gSeen[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(gNative.calls, std::vector<std::string>{"Destroy"});
    EXPECT_EQ(FindPortWindow(window), nullptr);
    MSG msg{};
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    const MSG late = Message(window, WM_KEYDOWN, 'D');
    DispatchMessageW(&late);
    EXPECT_EQ(gSeen.size(), 2u);
}

LRESULT CALLBACK ClosingAgainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gSeen.push_back({window, message, wParam});
    if (message == WM_DESTROY) {
        DefWindowProcW(window, WM_CLOSE, 0, 0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(MessageQueue, ClosingAgainWhileBeingDestroyedDestroysOnce) {
    const HWND other = AddPortWindow(ClosingAgainProc);
    SendPortMessage(other, WM_CLOSE, 0, 0);
    ASSERT_EQ(gSeen.size(), 2u);
    EXPECT_EQ(gSeen[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(gNative.calls, std::vector<std::string>{"Destroy"});
    EXPECT_EQ(FindPortWindow(other), nullptr);
}

TEST_F(MessageQueue, AltF4ClosesThroughTheDefaultProcedure) {
    DefWindowProcW(window, WM_SYSKEYDOWN, VK_F1 + 3, 1 | (1 << 29));
    ASSERT_FALSE(gSeen.empty());
    EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(FindPortWindow(window), nullptr);
}

TEST_F(MessageQueue, FocusChangesAreSentFromInsideTheMessageCallsNotQueued) {
    gNative.pending.push_back([this] { SendPortMessage(window, WM_SETFOCUS, 0, 0); });
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(gSeen.size(), 1u);
    EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_SETFOCUS));
}

TEST_F(MessageQueue, GetMessageWaitsForTheWindowSystemUntilAMessageArrives) {
    gNative.afterWait.push_back([] {});
    gNative.afterWait.push_back([this] {
        gNative.afterWait.push_back([this] { PostPortMessage(Message(window, WM_KEYDOWN, 'E')); });
    });
    MSG msg{};
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('E'));
    EXPECT_EQ(gNative.waits, 2);
}

TEST_F(MessageQueue, MsgWaitAnswersAtOnceForAWaitingMessageAndOtherwiseWaitsItsTimeForOne) {
    PostPortMessage(Message(window, WM_KEYDOWN, 'E'));
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
    EXPECT_EQ(gNative.waits, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_TIMEOUT);
    EXPECT_EQ(gNative.waits, 1);
    EXPECT_EQ(gNative.lastWaitMs, 50u);
    gNative.afterWait.push_back([this] { PostPortMessage(Message(window, WM_KEYUP, 'E')); });
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);

    HANDLE event = &msg;
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &event, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_FAILED)
        << "there are no other objects to wait for";
}

TEST_F(MessageQueue, MouseMovesRightBehindEachOtherMergeIntoTheLatest) {
    PostPortMessage(Message(window, WM_MOUSEMOVE, 0, 1));
    PostPortMessage(Message(window, WM_MOUSEMOVE, 0, 2));
    PostPortMessage(Message(window, WM_KEYDOWN, 'S'));
    PostPortMessage(Message(window, WM_MOUSEMOVE, 0, 3));
    ASSERT_EQ(gPortQueue.posted.size(), 3u);
    EXPECT_EQ(gPortQueue.posted[0].lParam, 2);
    EXPECT_EQ(gPortQueue.posted[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(gPortQueue.posted[2].lParam, 3);
}

TEST_F(MessageQueue, PaintIsReportedUntilTheWindowIsValidated) {
    InvalidatePortWindow(window);
    PostPortMessage(Message(window, WM_KEYDOWN, 'A'));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageW(&msg);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    InvalidatePortWindow(window);
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(gSeen.back().message, static_cast<UINT>(WM_PAINT));
    InvalidatePortWindow(window);
    EXPECT_TRUE(ValidateRect(window, nullptr));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, AClassNameRegistersOnceAndNeedsAProcedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = L"Test";
    EXPECT_EQ(RegisterClassExW(&windowClass), 0);
    windowClass.lpszClassName = L"Other";
    windowClass.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassExW(&windowClass), 0);
    windowClass.lpfnWndProc = RecordingProc;
    EXPECT_NE(RegisterClassExW(&windowClass), 0);
    EXPECT_NE(FindWindowClass(L"Other"), nullptr);
    EXPECT_EQ(FindWindowClass(L"Missing"), nullptr);
}

}  // namespace

namespace {

TEST_F(MessageQueue, ATimerComesWhenDueAfterOtherMessagesOnlyAsLongAsItsWindowLives) {
    EXPECT_EQ(SetTimer(window, 7, 30, nullptr), 7u);
    PostPortMessage(Message(window, WM_KEYDOWN, 'W'));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "not due yet";

    const DWORD asked = GetTickCount();
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_GE(GetTickCount() - asked, 20u) << "waited for it";
    EXPECT_LE(gNative.lastWaitMs, 30u) << "a wait for the window system ends when the timer is due";
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "taken, it is due again a period later";

    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
    SetTimer(window, 8, 0, nullptr);
    SendPortMessage(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(gPortQueue.timers.empty()) << "a destroyed window's timers end with it";
}

}  // namespace
