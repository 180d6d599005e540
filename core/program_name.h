#pragma once

// Title of the main window, caption of the drive warning and the tray icon's tip.
constexpr const char* ProgramTitle = "Zembrovale 0.7";
