#pragma once
#include <cstdint>

#include "core/handles.h"

// The monitoring core's platform calls. monitor_platform_win.cpp supplies them on
// Windows; host tests record them to check a tick's exact sequence.
bool diskFreeSpace(const char* rootPath, std::uint32_t* sectorsPerCluster,
                   std::uint32_t* bytesPerSector, std::uint32_t* freeClusters);
void beepTone(std::uint32_t frequency, std::uint32_t durationMs);
void requestRepaint(WindowHandle window);
void stopTimer(WindowHandle window, TimerId timer);
void showDriveWarning(WindowHandle owner);
void sendDestroy(WindowHandle window);
// Milliseconds since the system started, wrapping every 49.7 days (GetTickCount).
std::uint32_t tickCount();
