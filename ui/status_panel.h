#pragma once

#include "app/handles.h"

namespace StatusPanel {
void paint(WindowHandle mainWindow);
}
