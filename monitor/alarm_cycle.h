#pragma once

#include "core/handles.h"

// One monitoring step; the main window runs it for every WM_TIMER.
void tick(WindowHandle mainWindow, TimerId monitorTimer);
