#pragma once
#include <cstdint>

#include "core/handles.h"
#include "core/transition.h"
#include "monitor/history.h"

// One monitoring step; the main window runs it for every WM_TIMER.
void tick(WindowHandle mainWindow, TimerId monitorTimer);

// What the last tick saw, for those who tell others at its end (commands, balloons, the
// tip) and for the event log's lines between ticks.
struct TickReport {
    bool measured; // the tick's first measurement succeeded; `facts` hold it
    // History::bit() of each event of the tick: the transitions and the actions it took.
    std::uint32_t events;
    TransitionFacts facts; // the forecast only when a transition needs it
    // The second measurement, which decided level 2: what its announcements tell.
    std::uint32_t levelTwoFreeMb;
    bool clockRead; // `nowMs` was read in this tick
    std::uint64_t nowMs;
};
extern TickReport lastTick;

// True once the level 2 actions were taken in the current excursion below level 1.
bool levelTwoTaken();

// The monotonic clock, read at most once per tick and only by a feature that needs it.
std::uint64_t tickClockMs();
