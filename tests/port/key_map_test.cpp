#include "platform/port/key_map.h"

#include <gtest/gtest.h>

namespace {

constexpr LPARAM kAlt = LPARAM{1} << 29;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;

MSG Press(SDL_Keycode key, SDL_Scancode scancode, Uint16 modifiers = KMOD_NONE, bool repeat = false) {
    MSG msg{};
    EXPECT_TRUE(TranslateKeyEvent(key, scancode, modifiers, true, repeat, &msg));
    return msg;
}

TEST(KeyMap, LettersAreUpperCaseVirtualKeysWhateverTheShiftState) {
    EXPECT_EQ(Press(SDLK_w, SDL_SCANCODE_W).wParam, static_cast<WPARAM>('W'));
    EXPECT_EQ(Press(SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT).wParam, static_cast<WPARAM>('A'));
    // An AZERTY keyboard's A key sits where QWERTY has Q: the letter follows the layout.
    EXPECT_EQ(Press(SDLK_a, SDL_SCANCODE_Q).wParam, static_cast<WPARAM>('A'));
}

TEST(KeyMap, DigitRowKeepsItsDigitsOnEveryLayout) {
    EXPECT_EQ(Press(SDLK_1, SDL_SCANCODE_1).wParam, static_cast<WPARAM>('1'));
    EXPECT_EQ(Press(SDLK_AMPERSAND, SDL_SCANCODE_1).wParam, static_cast<WPARAM>('1'));
    EXPECT_EQ(Press(SDLK_0, SDL_SCANCODE_0).wParam, static_cast<WPARAM>('0'));
}

TEST(KeyMap, NamedKeysHaveTheirWindowsCodes) {
    EXPECT_EQ(Press(SDLK_SPACE, SDL_SCANCODE_SPACE).wParam, static_cast<WPARAM>(VK_SPACE));
    EXPECT_EQ(Press(SDLK_TAB, SDL_SCANCODE_TAB).wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(Press(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE).wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(Press(SDLK_RETURN, SDL_SCANCODE_RETURN).wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_EQ(Press(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER).wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_EQ(Press(SDLK_LEFT, SDL_SCANCODE_LEFT).wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(Press(SDLK_DOWN, SDL_SCANCODE_DOWN).wParam, static_cast<WPARAM>(VK_DOWN));
    EXPECT_EQ(Press(SDLK_F1, SDL_SCANCODE_F1).wParam, static_cast<WPARAM>(VK_F1));
    EXPECT_EQ(Press(SDLK_F12, SDL_SCANCODE_F12).wParam, static_cast<WPARAM>(VK_F12));
    EXPECT_EQ(Press(SDLK_F13, SDL_SCANCODE_F13).wParam, static_cast<WPARAM>(VK_F12 + 1));
}

TEST(KeyMap, KeysWithoutACodeMakeNoMessage) {
    MSG msg{};
    EXPECT_FALSE(TranslateKeyEvent(SDLK_HOME, SDL_SCANCODE_HOME, KMOD_NONE, true, false, &msg));
    EXPECT_FALSE(TranslateKeyEvent(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, KMOD_NONE, true, false, &msg));
}

TEST(KeyMap, RepeatAndReleaseSetThePreviousStateAndTransitionBits) {
    const MSG first = Press(SDLK_TAB, SDL_SCANCODE_TAB);
    EXPECT_EQ(first.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(first.lParam, 1);
    const MSG repeated = Press(SDLK_TAB, SDL_SCANCODE_TAB, KMOD_NONE, true);
    EXPECT_EQ(repeated.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(repeated.lParam, 1 | kWasDown);
    MSG up{};
    ASSERT_TRUE(TranslateKeyEvent(SDLK_TAB, SDL_SCANCODE_TAB, KMOD_NONE, false, false, &up));
    EXPECT_EQ(up.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(up.lParam, 1 | kWasDown | kReleased);
}

TEST(KeyMap, AltAndF10MakeSystemKeysButAltGrDoesNot) {
    const MSG altE = Press(SDLK_e, SDL_SCANCODE_E, KMOD_LALT);
    EXPECT_EQ(altE.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(altE.lParam & kAlt, kAlt);
    EXPECT_EQ(Press(SDLK_LALT, SDL_SCANCODE_LALT).message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(Press(SDLK_F10, SDL_SCANCODE_F10).message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(Press(SDLK_e, SDL_SCANCODE_E, KMOD_RALT | KMOD_LCTRL).message, static_cast<UINT>(WM_KEYDOWN));
    MSG up{};
    ASSERT_TRUE(TranslateKeyEvent(SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, false, false, &up));
    EXPECT_EQ(up.message, static_cast<UINT>(WM_SYSKEYUP));
}

}  // namespace
