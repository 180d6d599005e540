#pragma once
// For the Win32 layer only: the program's windows register their classes alike.
#include <windows.h>

// A class with an arrow cursor, redrawn whole when resized and told of double clicks.
// `icon` and `background` may be null.
void registerWindowClass(const char* name, WNDPROC procedure, HINSTANCE instance, HICON icon,
                         HCURSOR cursor, HBRUSH background);
