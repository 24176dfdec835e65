#pragma once
#include "platform/platform.h"

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The timer that has the scene's files checked: a few times a second, so that a saved change shows
// within a second while a check (a few file sizes and times) costs nothing a frame would notice.
constexpr UINT_PTR kFileCheckTimer = 1;
constexpr UINT kFileCheckMs = 250;
