#pragma once

#include "core/handles.h"

// Lets the user move a window by dragging any point of its background: the window
// behaves as if its caption had been grabbed.
void dragWindow(WindowHandle window);
