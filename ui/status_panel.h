#pragma once

#include "core/handles.h"

namespace StatusPanel {
void paint(WindowHandle mainWindow);
}
