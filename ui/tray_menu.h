#pragma once
#include <cstdint>

#include "core/handles.h"
#include "core/transition.h"

constexpr std::uint32_t WmTrayNotify = 0x0400 + 5; // WM_USER + 5

constexpr std::uint32_t CmdHideRestore = 1000;
constexpr std::uint32_t CmdAbout = 1001;
constexpr std::uint32_t CmdClose = 1002;
constexpr std::uint32_t CmdEditConfig = 1003;
constexpr std::uint32_t CmdWinSpy = 1004;
constexpr std::uint32_t CmdOptions = 1005;
// CmdLockTarget (1006) is declared with the lock in actions/target_window.h.
constexpr std::uint32_t CmdHistory = 1007;

// The command menu and the notification icon.
namespace TrayMenu {
void build(WindowHandle mainWindow);
void showMenu(WindowHandle mainWindow);
void onTrayNotify(WindowHandle mainWindow, std::uintptr_t iconId, std::intptr_t mouseMessage);
void onCommand(WindowHandle mainWindow, std::uintptr_t wParam, std::intptr_t lParam);
void removeIcon();

// The balloon of a transition, while ShowBalloons is set.
void announce(Transition transition, const TransitionFacts& facts);
// While ShowEstimate is set, the tip shows free space and the estimate; it changes at most
// every 10 s, and only when its text does.
void refreshTip(std::uint64_t nowMs, const TransitionFacts& facts);
// The shell's restart message, registered at start while KeepTrayIcon is set; 0 otherwise.
std::uint32_t taskbarCreatedMessage();
// Adds the icon again, with its current tip and state, after the shell restarted.
void onTaskbarCreated();
// While StateIcon was set at start, the icon follows the tick's events (History::bit()): marked
// from the alarm, marked for level 2 from the level-2 actions, plain again from the recovery.
void showState(std::uint32_t events);
void setItemText(std::uint32_t commandId, const char* text);
} // namespace TrayMenu
