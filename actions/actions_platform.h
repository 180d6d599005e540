#pragma once
#include <cstdint>

#include "core/handles.h"

// The actions' platform calls. actions_platform_win.cpp supplies them on Windows;
// host tests record them.
WindowHandle findWindow(const char* className, const char* title); // title null: any title
void bringToFront(WindowHandle window);
void sendToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam);
// Sends and waits at most `waitMs` for the answer; sends nothing to a window that has already
// stopped responding. True when the window answered.
bool sendToWindowWithin(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam, std::uint32_t waitMs);
// WM_CLOSE, waiting at most `waitMs` for the answer (meanwhile only messages sent to the
// program are handled). The answer is noted whenever it comes, so that closeAnswerArrived()
// tells a later tick. True when answered in time, or when there was no window to ask.
bool closeWithin(WindowHandle window, std::uint32_t waitMs);
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
