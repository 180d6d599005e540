#pragma once

#include "core/handles.h"

// Runs the modal window picker owned by the main window; returns when it has ended.
void runWindowPicker(WindowHandle mainWindow);
