#pragma once
// Keyboard events as Win32 key messages with virtual-key codes.
#include <SDL_keyboard.h>

#include "platform/port/win32.h"

// Fills message, wParam and lParam of msg; false for keys that have no virtual-key code here.
bool TranslateKeyEvent(SDL_Keycode key, SDL_Scancode scancode, Uint16 modifiers, bool down, bool repeat,
                       MSG* msg);
