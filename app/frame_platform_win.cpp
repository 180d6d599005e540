#include <windows.h>

#include "app/frame_platform.h"

void frameHideWindow(WindowHandle window) {
    ShowWindow(static_cast<HWND>(window), SW_HIDE);
}

void frameWindowTopLeft(WindowHandle window, std::int32_t* left, std::int32_t* top) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(static_cast<HWND>(window), &rect);
    *left = rect.left;
    *top = rect.top;
}

void frameQuitLoop() {
    PostQuitMessage(0);
}
