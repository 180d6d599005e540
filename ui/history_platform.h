#pragma once

// The History window's platform calls. history_window_win.cpp supplies them on Windows; host
// tests record them.

// Creates the window on the first call, then shows it and brings it to the front.
void historyShowWindow();
// Asks the window for a repaint of the whole chart.
void historyInvalidate();
