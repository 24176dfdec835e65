// Key events to WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/WM_SYSKEYUP with Alt or F10, as Win32 sends them)
// with Windows virtual-key codes for letters, digits, Space, Tab, Escape, Enter, Backspace, the
// arrows, F1 to F24 and the modifier keys. Not implemented: keypad digits, punctuation and the
// editing block, whose keys produce no message.
#include "platform/port/key_map.h"

#include <SDL_keycode.h>

namespace {

constexpr UINT kNoKey = 0;
constexpr LPARAM kAltDownBit = LPARAM{KF_ALTDOWN} << 16;
constexpr LPARAM kWasDownBit = LPARAM{1} << 30;
constexpr LPARAM kReleasedBit = LPARAM{1} << 31;

UINT VirtualKeyOf(SDL_Keycode key, SDL_Scancode scancode) {
    // Letters follow the layout, as Windows' do; the digit row keeps its position, as Windows' does.
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<UINT>('A' + (key - SDLK_a));
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return static_cast<UINT>('1' + (scancode - SDL_SCANCODE_1));
    }
    if (scancode == SDL_SCANCODE_0) {
        return '0';
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<UINT>(VK_F1 + (key - SDLK_F1));
    }
    if (key >= SDLK_F13 && key <= SDLK_F24) {
        return static_cast<UINT>(VK_F12 + 1 + (key - SDLK_F13));
    }
    switch (key) {
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return kNoKey;
    }
}

}  // namespace

bool TranslateKeyEvent(SDL_Keycode key, SDL_Scancode scancode, Uint16 modifiers, bool down, bool repeat,
                       MSG* msg) {
    const UINT virtualKey = VirtualKeyOf(key, scancode);
    if (virtualKey == kNoKey) {
        return false;
    }
    // Alt without Ctrl (AltGr is Ctrl+Alt to Windows) makes a system key, and so does F10.
    const bool alt = (modifiers & KMOD_ALT) != 0 || virtualKey == VK_MENU;
    const bool system = (alt && (modifiers & KMOD_CTRL) == 0) || virtualKey == VK_F10;
    if (down) {
        msg->message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        msg->message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    msg->wParam = virtualKey;
    msg->lParam = 1;
    if (alt) {
        msg->lParam |= kAltDownBit;
    }
    if (repeat || !down) {
        msg->lParam |= kWasDownBit;
    }
    if (!down) {
        msg->lParam |= kReleasedBit;
    }
    return true;
}
