#pragma once

#include "core/handles.h"

// Runs the modal Options dialog owned by the main window; returns when it has ended.
void runOptionsDialog(WindowHandle mainWindow);
