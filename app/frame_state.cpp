#include "app/main_window.h"

TimerId monitorTimer = 0;
bool windowHidden = false;
