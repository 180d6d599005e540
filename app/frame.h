#pragma once
#include <cstdint>

#include "core/handles.h"

// The main window's own handling of its messages, and the end of the run. The window
// procedure hands each message here or straight to the Part that owns it.
namespace Frame {
// Command menu and notification icon, signal bar, then the stored lock.
void onCreate(WindowHandle mainWindow);
void onSize(WindowHandle mainWindow, std::uintptr_t sizeType);
// One monitoring tick, then what it tells others: the commands and balloons of its
// transitions, the tip, the icon's state and the History chart. They come last, so none of
// them delays the tick's own steps. One that comes while a check runs is dropped.
void onTimer(WindowHandle mainWindow);
// The icon's notifications. A click while a check runs is handled once it is done, so that
// the menu's loop never runs inside a check.
void onTrayNotify(WindowHandle mainWindow, std::uintptr_t iconId, std::intptr_t mouseMessage);
// Removes the icon, captures the window's position and ends the message loop; acts
// on the first WM_DESTROY only.
void onDestroy(WindowHandle mainWindow);
// True once the end has begun. The loop checks it as well as the quit message, because a
// modal loop running at that moment (a drag of the window) may swallow the quit message.
bool ending();
// After the loop: stores the captured position unless the window is hidden, and
// closes the tuner library if it is open.
void finish();
} // namespace Frame
