// The two modes, the focus flag and the key table, driven by the window procedure's messages.
#include "camera/input_state.h"

#include <cstring>

InputState gInput;

void EnsureCursorVisible() {
    if (!gInput.cursorVisible) {
        gInput.cursorVisible = true;
        ShowCursor(TRUE);
    }
}

void EnsureCursorHidden() {
    if (gInput.cursorVisible) {
        gInput.cursorVisible = false;
        ShowCursor(FALSE);
    }
}

namespace {

// Hidden while active, shown while paused.
void FollowMode() {
    if (gInput.active) {
        EnsureCursorHidden();
    } else {
        EnsureCursorVisible();
    }
}

}  // namespace

void InitInputState() {
    gInput.active = true;
    gInput.focusLost = false;
    gInput.cursorVisible = false;
    std::memset(gInput.keys, 0, sizeof gInput.keys);
    ShowCursor(FALSE);
}

void HandleFocusChange(bool gained) {
    gInput.focusLost = !gained;
    FollowMode();
}

bool HandleKeyDown(WPARAM virtualKey) {
    if (virtualKey == VK_ESCAPE) {
        return true;
    }
    if (virtualKey == VK_TAB) {
        gInput.active = !gInput.active;
        FollowMode();
    }
    // Codes past the table's end have no entry to set.
    if (virtualKey < kKeyTableSize) {
        gInput.keys[virtualKey] = 1;
    }
    return false;
}

void HandleKeyUp(WPARAM virtualKey) {
    if (virtualKey < kKeyTableSize) {
        gInput.keys[virtualKey] = 0;
    }
}
