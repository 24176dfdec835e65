#include "platform/port/pointer_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/port/fake_native.h"

namespace {

using Calls = std::vector<std::string>;

class Pointer : public ::testing::Test {
  protected:
    void SetUp() override {
        gPointer = PointerState{};
        gNative = FakeNative{};
    }

    static POINT Position() {
        POINT point{-1, -1};
        EXPECT_TRUE(GetCursorPos(&point));
        return point;
    }
};

TEST_F(Pointer, CounterShowsWhileAtLeastZeroAndOnlyCrossingsReachTheWindowSystem) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(gNative.calls, (Calls{"ShowCursor(0)"}));
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(ShowCursor(FALSE), 0);
    EXPECT_EQ(gNative.calls, (Calls{"ShowCursor(0)", "ShowCursor(1)"}));
}

TEST_F(Pointer, WhereTheRealPointerMovesItIsAlwaysTheOneServed) {
    gNative.cursor = {7, 8};
    SetPointerFocus(true);
    ShowCursor(FALSE);
    EXPECT_EQ(Position().x, 7);
    EXPECT_TRUE(SetCursorPos(5, 6));
    EXPECT_EQ(Position().y, 6);
    EXPECT_EQ(gNative.calls, (Calls{"ShowCursor(0)", "Move(5, 6)"}));
}

TEST_F(Pointer, VirtualPointerServesWhileHiddenOverTheFocusedWindow) {
    gPointer.virtualAllowed = true;
    gPointer.screen = {0, 0, 100, 80};
    gNative.cursor = {30, 40};
    ShowCursor(FALSE);
    EXPECT_FALSE(gPointer.virtualActive);  // not focused yet
    SetPointerFocus(true);
    EXPECT_EQ(gNative.calls, (Calls{"ShowCursor(0)", "Relative(1)"}));

    // It starts where the real pointer was, follows relative motion and is moved without warping.
    EXPECT_EQ(Position().x, 30);
    MoveVirtualPointer(5, -10);
    EXPECT_EQ(Position().x, 35);
    EXPECT_EQ(Position().y, 30);
    SetCursorPos(50, 40);
    MoveVirtualPointer(-3, 2);
    EXPECT_EQ(Position().x, 47);
    EXPECT_EQ(Position().y, 42);
    MoveVirtualPointer(1000, -1000);
    EXPECT_EQ(Position().x, 99);
    EXPECT_EQ(Position().y, 0);

    SetPointerFocus(false);
    EXPECT_EQ(Position().x, 30);
    EXPECT_EQ(gNative.calls.back(), "Relative(0)");
}

TEST_F(Pointer, ShowingThePointerHandsBackTheRealOne) {
    gPointer.virtualAllowed = true;
    gPointer.screen = {0, 0, 100, 80};
    SetPointerFocus(true);
    ShowCursor(FALSE);
    SetCursorPos(10, 10);
    ShowCursor(TRUE);
    EXPECT_FALSE(gPointer.virtualActive);
    SetCursorPos(20, 25);
    EXPECT_EQ(gNative.calls,
              (Calls{"ShowCursor(0)", "Relative(1)", "ShowCursor(1)", "Relative(0)", "Move(20, 25)"}));
}

}  // namespace
