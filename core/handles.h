#pragma once
#include <cstdint>

// The logic folders are compiled for the host too, where there is no windows.h:
// they pass the platform's handles around as these plain stand-ins.
using WindowHandle = void*;
using TimerId = std::uintptr_t;
