#include <windows.h>

#include "app/frame.h"
#include "app/main_function.h"
#include "app/main_window.h"
#include "core/program_name.h"
#include "monitor/room_making.h"
#include "monitor/watch_log.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "ui/status_panel.h"
#include "ui/tray_menu.h"
#include "ui/window_class.h"
#include "ui/window_drag.h"

namespace {

constexpr int WindowWidth = 250;
constexpr int WindowHeight = 145;
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX;

HINSTANCE moduleInstance;

LRESULT CALLBACK MainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Frame::onCreate(window);
        return 0;
    case WM_PAINT:
        StatusPanel::paint(window);
        return 0;
    case WM_TIMER:
        Frame::onTimer(window);
        return 0;
    case WM_SIZE:
        Frame::onSize(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        dragWindow(window);
        return 0;
    case WM_RBUTTONUP:
        TrayMenu::showMenu(window);
        return 0;
    case WM_COMMAND:
        TrayMenu::onCommand(window, wParam, lParam);
        return 0;
    case WmTrayNotify:
        Frame::onTrayNotify(window, wParam, lParam);
        return 0;
    case WM_DESTROY:
        Frame::onDestroy(window);
        return 0;
    default:
        // Registered at run time, so it cannot be a case label; 0 while not registered.
        if (message != 0 && message == TrayMenu::taskbarCreatedMessage()) {
            TrayMenu::onTaskbarCreated();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void registerMainClass() {
    // One handle serves as both icons; the platform picks the large size for it.
    const HICON icon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_ZEMBROVALE));
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    // The panel never paints its background: the default erase does, with this brush.
    registerWindowClass(MainWindowClass, MainWindow, moduleInstance, icon, arrow,
                        CreateSolidBrush(RGB(0, 0, 0)));
}

HWND createMainWindow() {
    return CreateWindowExA(WS_EX_TOPMOST, MainWindowClass, ProgramTitle, WindowStyle, settings.x,
                           settings.y, WindowWidth, WindowHeight, nullptr, nullptr, moduleInstance,
                           nullptr);
}

int runMessageLoop() {
    MSG message;
    // GetMessageA's -1 (an error) must end the loop as well, not spin it.
    message.wParam = 0;
    while (!Frame::ending() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int mainFunction(void* instance, int showState) {
    moduleInstance = static_cast<HINSTANCE>(instance);
    SettingsFile::load();
    logStart();
    RoomMaking::configure();
    registerMainClass();
    const HWND window = createMainWindow();
    // The first paint takes the first free-space measurement, before any tick.
    ShowWindow(window, showState);
    UpdateWindow(window);
    monitorTimer = SetTimer(window, MonitorTimerId, settings.UpdateInterval, nullptr);
    return runMessageLoop();
}
