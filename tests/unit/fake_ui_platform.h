#pragma once
// Recording stand-ins for the status panel's, the command menu's and the frame's platform
// calls. Every call goes to `fake::calls` (tests/unit/fake_platform.h) as a short line, so
// one sequence shows them interleaved with the monitor's and the actions' calls.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/handles.h"

namespace fakeui {

// One DrawTextA, with the colours in force when it was made.
struct Draw {
    std::string text;
    std::int32_t left, top, right, bottom;
    std::uint32_t textColour, backColour; // 0xRRGGBB
    int paint;                            // which paint drew it, from 1
};

extern std::vector<Draw> draws;
extern std::int32_t clientRight, clientBottom;

// Menu items in their order; texts follow ModifyMenuA in place.
struct MenuItem {
    std::uint32_t id; // 0 for a separator
    std::string text;
};
extern std::vector<MenuItem> menu;

// The window's top-left corner as GetWindowRect reports it.
extern std::int32_t windowLeft, windowTop;
// What SetTimer hands back.
extern TimerId timerReturned;
// Runs inside the Options dialog, as if the user had changed settings there.
extern std::function<void()> insideOptions;
// The local clock's seconds since midnight, as the History chart reads it.
extern std::uint32_t localSecondOfDay;

// Resets these fakes and fake_platform's.
void reset();
void resetPanel();                     // the panel's part of reset()
std::string rgb(std::uint32_t colour); // "RRGGBB"

} // namespace fakeui
