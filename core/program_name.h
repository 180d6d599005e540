#pragma once

// Title of the main window, caption of the drive warning and the tray icon's tip.
constexpr const char* ProgramTitle = "Zembrovale 0.7";

// The version alone, as the metrics file names the build.
constexpr const char* ProgramVersion = "0.7";
