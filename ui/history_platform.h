#pragma once

// The History window's platform calls. history_window_win.cpp supplies them on Windows; host
// tests record them.

// Creates the window on the first call, then shows it and brings it to the front. False when
// it could not be created.
bool historyShowWindow();
// The local clock's seconds since midnight.
std::uint32_t historyLocalSecondOfDay();
// Asks the window for a repaint of the whole chart.
void historyInvalidate();
