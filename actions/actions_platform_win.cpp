#include <windows.h>

#include "actions/actions_platform.h"
#include "actions/target_window.h"
#include "ui/tray_menu.h"

static_assert(ExStyleLayered == WS_EX_LAYERED, "layered style bit");
static_assert(ExStyleWindowEdge == WS_EX_WINDOWEDGE, "window edge style bit");

namespace {
HWND asWindow(WindowHandle window) {
    return static_cast<HWND>(window);
}
} // namespace

WindowHandle findWindow(const char* className, const char* title) {
    return FindWindowA(className, title);
}

void bringToFront(WindowHandle window) {
    SetForegroundWindow(asWindow(window));
}

void sendToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam) {
    SendMessageA(asWindow(window), message, wParam, lParam);
}

std::uint32_t readExtendedStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(GetWindowLongA(asWindow(window), GWL_EXSTYLE));
}

void writeExtendedStyle(WindowHandle window, std::uint32_t exStyle) {
    SetWindowLongA(asWindow(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

void setWindowAlpha(WindowHandle window, std::uint8_t alpha) {
    SetLayeredWindowAttributes(asWindow(window), 0, alpha, LWA_ALPHA);
}

void enableInput(WindowHandle window, bool enabled) {
    EnableWindow(asWindow(window), enabled ? TRUE : FALSE);
}

void setCommandText(std::uint32_t commandId, const char* text) {
    TrayMenu::setItemText(commandId, text);
}

TokenHandle openOwnProcessToken() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return nullptr;
    }
    return token;
}

void lookupShutdownPrivilege(PrivilegeId* id) {
    LUID luid{};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid);
    id->low = luid.LowPart;
    id->high = luid.HighPart;
}

void enablePrivilege(TokenHandle token, const PrivilegeId& id) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = id.low;
    privileges.Privileges[0].Luid.HighPart = id.high;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(static_cast<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
}

std::uint32_t lastErrorCode() {
    return GetLastError();
}

bool exitWindowsForced() {
    constexpr DWORD PlannedOperatingSystem = 0x80020000;
    return ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE, PlannedOperatingSystem) != FALSE;
}

void closeToken(TokenHandle token) {
    CloseHandle(static_cast<HANDLE>(token));
}
