#pragma once
#include <cstdint>

#include "core/handles.h"

// The command menu's and the notification icon's platform calls. tray_platform_win.cpp
// supplies them on Windows; host tests record them.

// Window messages the command menu sends or receives.
constexpr std::uint32_t TrayMsgSize = 0x0005;          // WM_SIZE
constexpr std::uint32_t TrayMsgDestroy = 0x0002;       // WM_DESTROY
constexpr std::uint32_t TrayMsgCommand = 0x0111;       // WM_COMMAND
constexpr std::uint32_t TrayMsgLeftButtonUp = 0x0202;  // WM_LBUTTONUP
constexpr std::uint32_t TrayMsgRightButtonUp = 0x0205; // WM_RBUTTONUP
constexpr std::uintptr_t TraySizeMinimized = 1;        // SIZE_MINIMIZED

// The one popup menu, created once and kept for the life of the program.
void trayCreateMenu();
void trayAppendItem(std::uint32_t commandId, const char* text);
void trayAppendSeparator();
void traySetItemText(std::uint32_t commandId, const char* text);
// Opens the menu with its top right corner at the pointer, owned by `owner`.
void trayTrackMenu(WindowHandle owner);

// The icon record is filled once, by the add, and used again by the removal, by the tip's
// changes and by the add after the shell restarts.
void trayAddIcon(WindowHandle mainWindow, const char* tip);
void trayRemoveIcon();
void trayReAddIcon();
void trayModifyTip(const char* tip);
// The icon of the add marked in the panel's level-1 yellow and level-2 orange, drawn once.
void trayMakeStateIcons();
// 0 the icon of the add, 1 and 2 the marked ones; kept in the icon's record, so the tip stays
// and an add after the shell restarts shows it too.
void traySetStateIcon(int state);

enum class BalloonIcon { Info, Warning, Error };
// NIM_MODIFY with a second record of the size that carries a balloon: NIF_INFO alone, so the
// icon and its tip stay as they are; titled with the program's name, shown for 10 s.
void trayShowBalloon(const char* text, BalloonIcon icon);
// The message a restarting shell sends to every top-level window ("TaskbarCreated").
std::uint32_t trayRegisterTaskbarCreated();
// Lets `message` through the filter that keeps a program run as administrator from hearing
// the shell; where Windows has no such filter, there is nothing to do.
void trayLetShellMessageThrough(WindowHandle window, std::uint32_t message);

void traySendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam);
// Shows the hidden (or minimized) window again and brings it to the front.
void trayRestoreWindow(WindowHandle window);
void trayShowAbout(WindowHandle owner, const char* text);
void trayOpenInEditor(WindowHandle owner, const char* path);
void trayRunOptions(WindowHandle owner);
void trayRunPicker(WindowHandle owner);
// Returns the identifier the platform gives back (0 when the timer was not created).
TimerId trayStartTimer(WindowHandle window, TimerId timer, std::uint32_t periodMs);
