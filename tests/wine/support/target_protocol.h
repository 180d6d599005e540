#pragma once
#include <windows.h>

// What test_target.exe answers. Only the window's own process can read its layered
// alpha back, so the tests ask the target itself.

// Returns the alpha set with LWA_ALPHA, or -1 when the window has none (not layered,
// or GetLayeredWindowAttributes failed).
constexpr UINT TargetQueryAlpha = WM_APP + 1;
// Returns 1 while the window accepts input (IsWindowEnabled), 0 otherwise.
constexpr UINT TargetQueryEnabled = WM_APP + 2;
// Returns the number of WM_CLOSE messages refused so far.
constexpr UINT TargetQueryRefused = WM_APP + 3;

// Each logged message is one line "<name> <wParam> <lParam>" in decimal, for example
// "WM_KEYDOWN 82 0", written and flushed as it arrives.
