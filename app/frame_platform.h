#pragma once
#include <cstdint>

#include "core/handles.h"

// The frame's platform calls. frame_platform_win.cpp supplies them on Windows; host
// tests record them.
void frameHideWindow(WindowHandle window);
// Left and top edges of the window, in screen coordinates.
void frameWindowTopLeft(WindowHandle window, std::int32_t* left, std::int32_t* top);
// Posts the quit message (code 0) that ends the message loop.
void frameQuitLoop();
