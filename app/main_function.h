#pragma once

// The main window's class; tests and tools find the running program by it.
constexpr const char* MainWindowClass = "ZEMBROVALE";

// Loads the settings, creates and shows the main window, starts the monitoring timer
// and runs the message loop; returns the quit message's parameter.
int mainFunction(void* instance, int showState);
