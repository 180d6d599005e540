#pragma once
#include <cstdint>

#include "core/handles.h"

// The tuner library and the level bar, as the meter sees them. tuner_platform_win.cpp
// supplies them on Windows; host tests supply a scripted library.

// Loads the library and resolves all four exports; false when the library is missing
// or incomplete, in which case none of its functions is ever called.
bool loadTunerLibrary();
std::int32_t tunerOpen(void* workArea, std::uint32_t* outValue);
std::int32_t tunerGetAdapterHandle(std::uint32_t* adapterHandle);
void tunerGetStatus(std::uint32_t adapterHandle, void* status, std::uint32_t size);
void tunerClose();

void createLevelBarControl(WindowHandle mainWindow);
void setLevelBarColour(std::uint32_t rgb);
void setLevelBarPosition(std::int32_t position);
