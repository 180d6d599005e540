#include "ui/window_drag.h"

#include <windows.h>

void dragWindow(WindowHandle window) {
    ReleaseCapture();
    SendMessageA(static_cast<HWND>(window), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}
