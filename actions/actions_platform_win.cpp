#include <windows.h>

#include "actions/actions_platform.h"
#include "actions/target_window.h"
#include "ui/tray_menu.h"

static_assert(ExStyleLayered == WS_EX_LAYERED, "layered style bit");
static_assert(ExStyleWindowEdge == WS_EX_WINDOWEDGE, "window edge style bit");
static_assert(ErrorNoWindow == ERROR_INVALID_WINDOW_HANDLE &&
                  ErrorAccessDenied == ERROR_ACCESS_DENIED,
              "send errors");

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

std::uint32_t sendToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    SetLastError(0);
    if (SendMessageA(asWindow(window), message, wParam, lParam) != 0) {
        return 0;
    }
    // 0 is also a handled message's usual answer: only these two errors mean it never arrived
    // (others may come from what this thread handled while it waited).
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_WINDOW_HANDLE || error == ERROR_ACCESS_DENIED ? error : 0;
}

void postToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam) {
    PostMessageA(asWindow(window), message, wParam, lParam);
}

bool sendToWindowWithin(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam, std::uint32_t waitMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(asWindow(window), message, wParam, lParam,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, waitMs, &result) != 0;
}

bool windowHung(WindowHandle window) {
    return IsHungAppWindow(asWindow(window)) != FALSE;
}

namespace {

// Cleared by the target's answer to the last close, which may come many ticks later: a
// recorder that asks "Stop the recording?" answers once its user has. Each close carries its
// own number, so that a late answer to an earlier one never counts for it.
bool closeUnanswered = false;
ULONG_PTR closeNumber = 0;

void CALLBACK noteCloseAnswer(HWND, UINT, ULONG_PTR number, LRESULT) {
    if (number == closeNumber) {
        closeUnanswered = false;
    }
}

} // namespace

bool closeWithin(WindowHandle window, std::uint32_t waitMs, std::uint32_t* error) {
    const HWND target = asWindow(window);
    *error = 0;
    closeUnanswered = true;
    ++closeNumber;
    if (!SendMessageCallbackA(target, WM_CLOSE, 0, 0, noteCloseAnswer, closeNumber)) {
        closeUnanswered = false; // nothing to wait for
        const DWORD why = GetLastError();
        *error = why != 0 ? why : ERROR_INVALID_WINDOW_HANDLE;
        return false;
    }
    // The answer arrives as a sent message: wait for those alone, so that no timer or input
    // of the program runs in the middle of its tick. Woken at least every 50 ms, whatever
    // wakes a thread for such an answer on this Windows; a window that has gone has nothing
    // left to answer.
    const DWORD started = GetTickCount();
    for (DWORD waited = 0; closeUnanswered && waited < waitMs; waited = GetTickCount() - started) {
        if (!IsWindow(target)) {
            closeUnanswered = false;
            break;
        }
        const DWORD left = waitMs - waited;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 50 ? left : 50, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return !closeUnanswered;
}

bool closeAnswerArrived() {
    return !closeUnanswered;
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
