#pragma once
// The two modes (active: pointer hidden, mouse turns the camera; paused: pointer shown), the
// focus flag and the table of keys held down.
#include <cstdint>

#include "platform/platform.h"

constexpr int kKeyTableSize = 255;

struct InputState {
    std::uint8_t keys[kKeyTableSize];
    bool active;
    bool focusLost;
    bool cursorVisible;
};

extern InputState gInput;

void InitInputState();
void HandleFocusChange(bool gained);
// True when the message is to be passed on as WM_CLOSE instead.
bool HandleKeyDown(WPARAM virtualKey);
void HandleKeyUp(WPARAM virtualKey);
void EnsureCursorVisible();
void EnsureCursorHidden();
