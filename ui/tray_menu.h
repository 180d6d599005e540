#pragma once
#include <cstdint>

#include "core/handles.h"

constexpr std::uint32_t WmTrayNotify = 0x0400 + 5; // WM_USER + 5

constexpr std::uint32_t CmdHideRestore = 1000;
constexpr std::uint32_t CmdAbout = 1001;
constexpr std::uint32_t CmdClose = 1002;
constexpr std::uint32_t CmdEditConfig = 1003;
constexpr std::uint32_t CmdWinSpy = 1004;
constexpr std::uint32_t CmdOptions = 1005;
// CmdLockTarget (1006) is declared with the lock in actions/target_window.h.

// The command menu and the notification icon.
namespace TrayMenu {
void build(WindowHandle mainWindow);
void showMenu(WindowHandle mainWindow);
void onTrayNotify(WindowHandle mainWindow, std::uintptr_t iconId, std::intptr_t mouseMessage);
void onCommand(WindowHandle mainWindow, std::uintptr_t wParam, std::intptr_t lParam);
void removeIcon();
void setItemText(std::uint32_t commandId, const char* text);
} // namespace TrayMenu
