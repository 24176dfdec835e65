#pragma once
// The one place the system gets Win32 and Direct3D 9 from: the SDK's own headers on Windows,
// our declarations of the same subset elsewhere.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// The system calls only the wide-character functions; IDC_ARROW and the like must be wide too.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <d3d9.h>
#include <windows.h>
#else
#include "platform/port/d3d9.h"
#include "platform/port/win32.h"
#endif
