// The least a Win32 program can do to show a painted window of the main window's size
// and style: the yardstick for the program's start-up to first paint.
#include <windows.h>

namespace {

constexpr const char* MinimalClass = "ZvMinimalWindow";

LRESULT CALLBACK minimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        // The colour the start-up driver looks for, the panel's free-space green.
        const HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc, &ps.rcPaint, green);
        DeleteObject(green);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = minimalProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = MinimalClass;
    RegisterClassExA(&windowClass);
    // Placed where the driver puts the program's own window, with its size and style.
    const HWND window = CreateWindowExA(WS_EX_TOPMOST, MinimalClass, "Minimal window",
                                        WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX, 300, 300, 250,
                                        145, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showState);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitProcess(0);
}
