#pragma once

#include "core/handles.h"

// The monitoring timer's identifier as SetTimer returned it (0 before it exists).
extern TimerId monitorTimer;
// True while the main window is hidden in the notification area.
extern bool windowHidden;

constexpr TimerId MonitorTimerId = 1;
