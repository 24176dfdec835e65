#include "tests/fakes/fake_pointer.h"

FakePointer gFakePointer;

void ResetFakePointer() {
    gFakePointer = FakePointer{};
}

int WINAPI ShowCursor(BOOL show) {
    gFakePointer.showCalls.push_back(show);
    gFakePointer.displayCounter += show ? 1 : -1;
    return gFakePointer.displayCounter;
}

BOOL WINAPI GetCursorPos(POINT* point) {
    if (gFakePointer.readFails) {
        return FALSE;
    }
    *point = gFakePointer.position;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    gFakePointer.position = {x, y};
    gFakePointer.moves.push_back(gFakePointer.position);
    return TRUE;
}
