#pragma once
#include <cstdint>

#include "core/handles.h"

// The actions' platform calls. actions_platform_win.cpp supplies them on Windows;
// host tests record them.
WindowHandle findWindow(const char* className, const char* title); // title null: any title
void bringToFront(WindowHandle window);

// Why a message could not be sent: there was no window (it went away), or Windows refused it
// (as it does to a program running as administrator).
constexpr std::uint32_t ErrorNoWindow = 1400;  // ERROR_INVALID_WINDOW_HANDLE
constexpr std::uint32_t ErrorAccessDenied = 5; // ERROR_ACCESS_DENIED

// Sends and waits until the window has handled it. 0 when it was delivered, else one of the
// two errors above.
std::uint32_t sendToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);
// Puts it in the window's queue and returns at once.
void postToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam);
// Sends and waits at most `waitMs` for the answer; sends nothing to a window that has already
// stopped responding. True when the window answered.
bool sendToWindowWithin(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam, std::uint32_t waitMs);
// True when Windows counts the window as not responding.
bool windowHung(WindowHandle window);
// WM_CLOSE, waiting at most `waitMs` for the answer and no longer than the window exists
// (meanwhile only messages sent to the program are handled). The answer to this close, and
// only this one, is noted whenever it comes, so that closeAnswerArrived() tells a later tick.
// True when answered in time or the window went meanwhile. `*error` is 0 when the close was
// sent, else why it could not be.
bool closeWithin(WindowHandle window, std::uint32_t waitMs, std::uint32_t* error);
bool closeAnswerArrived();
std::uint32_t readExtendedStyle(WindowHandle window);
void writeExtendedStyle(WindowHandle window, std::uint32_t exStyle);
void setWindowAlpha(WindowHandle window, std::uint8_t alpha);
void enableInput(WindowHandle window, bool enabled);
void setCommandText(std::uint32_t commandId, const char* text);

using TokenHandle = void*;
struct PrivilegeId {
    std::uint32_t low;
    std::int32_t high;
};
TokenHandle openOwnProcessToken(); // null when it cannot be opened
void lookupShutdownPrivilege(PrivilegeId* id);
void enablePrivilege(TokenHandle token, const PrivilegeId& id);
std::uint32_t lastErrorCode();
bool exitWindowsForced();
void closeToken(TokenHandle token);
