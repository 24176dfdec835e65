#include "camera/input_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "tests/fakes/fake_pointer.h"

namespace {

class InputStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePointer();
        InitInputState();
    }
};

TEST_F(InputStateTest, StartsActiveWithPointerHiddenOnceAndNoKeysDown) {
    EXPECT_TRUE(gInput.active);
    EXPECT_FALSE(gInput.focusLost);
    EXPECT_FALSE(gInput.cursorVisible);
    EXPECT_EQ(std::count(std::begin(gInput.keys), std::end(gInput.keys), 0), kKeyTableSize);
    EXPECT_EQ(gFakePointer.showCalls, std::vector<BOOL>{FALSE});
}

// Every sequence of six Tab presses, focus losses and focus gains.
TEST_F(InputStateTest, DisplayCounterMovesOncePerRealChangeAndPointerFollowsTheMode) {
    constexpr int kEvents = 3;
    constexpr int kLength = 6;
    int sequences = 1;
    for (int i = 0; i < kLength; ++i) {
        sequences *= kEvents;
    }
    for (int sequence = 0; sequence < sequences; ++sequence) {
        ResetFakePointer();
        InitInputState();
        bool focused = true;
        bool active = true;
        for (int step = 0, rest = sequence; step < kLength; ++step, rest /= kEvents) {
            switch (rest % kEvents) {
                case 0:
                    EXPECT_FALSE(HandleKeyDown(VK_TAB));
                    active = !active;
                    break;
                case 1:
                    HandleFocusChange(false);
                    focused = false;
                    break;
                default:
                    HandleFocusChange(true);
                    focused = true;
                    break;
            }
            ASSERT_EQ(gInput.active, active) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(gInput.cursorVisible, !gInput.active) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(gInput.focusLost, !focused) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(gFakePointer.displayCounter, gInput.cursorVisible ? 0 : -1) << "sequence " << sequence;
        }
        const std::vector<BOOL>& calls = gFakePointer.showCalls;
        for (std::size_t i = 1; i < calls.size(); ++i) {
            ASSERT_NE(calls[i], calls[i - 1]) << "sequence " << sequence << " call " << i;
        }
    }
}

TEST_F(InputStateTest, HeldTabTogglesOnEveryRepeatAndRecordsTheKey) {
    HandleKeyDown(VK_TAB);
    EXPECT_FALSE(gInput.active);
    EXPECT_EQ(gInput.keys[VK_TAB], 1);
    HandleKeyDown(VK_TAB);
    EXPECT_TRUE(gInput.active);
    HandleKeyDown(VK_TAB);
    EXPECT_FALSE(gInput.active);
    HandleKeyUp(VK_TAB);
    EXPECT_FALSE(gInput.active);
    EXPECT_EQ(gInput.keys[VK_TAB], 0);
    EXPECT_EQ(gFakePointer.showCalls, (std::vector<BOOL>{FALSE, TRUE, FALSE, TRUE}));
}

TEST_F(InputStateTest, EscapeClosesWithoutRecordingTheKeyInBothModes) {
    EXPECT_TRUE(HandleKeyDown(VK_ESCAPE));
    EXPECT_EQ(gInput.keys[VK_ESCAPE], 0);
    HandleKeyDown(VK_TAB);
    EXPECT_TRUE(HandleKeyDown(VK_ESCAPE));
    EXPECT_EQ(gInput.keys[VK_ESCAPE], 0);
    EXPECT_FALSE(gInput.active);
}

TEST_F(InputStateTest, KeysAreRecordedInBothModesAndStaySetWithoutARelease) {
    EXPECT_FALSE(HandleKeyDown('W'));
    HandleKeyDown(VK_TAB);
    HandleKeyDown('A');
    HandleFocusChange(false);
    HandleFocusChange(true);
    EXPECT_EQ(gInput.keys[0x57], 1);
    EXPECT_EQ(gInput.keys[0x41], 1);
    HandleKeyUp('W');
    EXPECT_EQ(gInput.keys[0x57], 0);
    EXPECT_EQ(gInput.keys[0x41], 1);
}

// The flags lie right behind the table, so a stray write there would switch modes.
TEST_F(InputStateTest, CodesPastTheTableAreIgnored) {
    EXPECT_FALSE(HandleKeyDown(255));
    EXPECT_FALSE(HandleKeyDown(256));
    HandleKeyUp(255);
    HandleKeyUp(100000);
    EXPECT_TRUE(gInput.active);
    EXPECT_FALSE(gInput.focusLost);
    EXPECT_FALSE(gInput.cursorVisible);
    EXPECT_EQ(std::count(std::begin(gInput.keys), std::end(gInput.keys), 0), kKeyTableSize);
    EXPECT_EQ(gFakePointer.showCalls.size(), 1u);
}

}  // namespace
