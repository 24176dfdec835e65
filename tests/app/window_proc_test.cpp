#include "app/window_proc.h"

#include <gtest/gtest.h>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "platform/screen_metrics.h"
#include "tests/fakes/fake_pointer.h"
#include "tests/fakes/fake_window.h"

namespace {

class WindowProcedure : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakeWin32();
        ResetFakePointer();
        gFakeWin32.registeredClass.lpfnWndProc = WindowProc;
        gFakeWin32.defaultResult = 77;
        gScreen = {800, 600, 400, 300};
        InitInputState();
        InitCamera(Vec3{0, 0, 0});
    }
};

TEST_F(WindowProcedure, PassesEveryMessageOnToTheDefaultProcedureAndReturnsItsResult) {
    const UINT messages[] = {WM_PAINT, WM_SYSKEYDOWN, WM_SETFOCUS, WM_KILLFOCUS, WM_KEYDOWN,
                             WM_KEYUP, WM_MOUSEMOVE,  0x0401,      WM_NULL};
    for (UINT message : messages) {
        SCOPED_TRACE(message);
        gFakeWin32.defaultCalls.clear();
        EXPECT_EQ(WindowProc(kFakeWindow, message, 'W', 0x00110001), 77);
        ASSERT_EQ(gFakeWin32.defaultCalls.size(), 1u);
        const DefaultProcedureCall& call = gFakeWin32.defaultCalls[0];
        EXPECT_EQ(call.window, kFakeWindow);
        EXPECT_EQ(call.message, message);
        EXPECT_EQ(call.wParam, static_cast<WPARAM>('W'));
        EXPECT_EQ(call.lParam, 0x00110001);
    }
}

TEST_F(WindowProcedure, HandsKeysFocusAndMouseToTheInputAndCamera) {
    WindowProc(kFakeWindow, WM_KEYDOWN, 'W', 0);
    EXPECT_EQ(gInput.keys[0x57], 1);
    WindowProc(kFakeWindow, WM_KEYUP, 'W', 0);
    EXPECT_EQ(gInput.keys[0x57], 0);
    WindowProc(kFakeWindow, WM_SYSKEYDOWN, 'W', 0);
    EXPECT_EQ(gInput.keys[0x57], 0);

    gFakePointer.position = {500, 300};
    WindowProc(kFakeWindow, WM_MOUSEMOVE, 0, 0);
    EXPECT_GT(gCamera.look.x, 0.3f) << "a pointer right of the centre turns the view right";
    ASSERT_FALSE(gFakePointer.moves.empty());
    EXPECT_EQ(gFakePointer.moves.back().x, 400);

    WindowProc(kFakeWindow, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(gInput.focusLost);
    WindowProc(kFakeWindow, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(gInput.focusLost);
}

TEST_F(WindowProcedure, EscapeGoesOnAsACloseRequestThatEndsTheProgram) {
    WindowProc(kFakeWindow, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(gInput.keys[VK_ESCAPE], 0);
    ASSERT_EQ(gFakeWin32.defaultCalls.size(), 2u);
    EXPECT_EQ(gFakeWin32.defaultCalls[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(gFakeWin32.defaultCalls[0].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(gFakeWin32.defaultCalls[0].lParam, 0x00010001);
    // The default close handling destroys the window, whose procedure then asks to quit.
    EXPECT_EQ(gFakeWin32.defaultCalls[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(gFakeWin32.quitCode, 0);
}

}  // namespace
