#pragma once
#include <cstdint>

#include "core/handles.h"
#include "monitor/free_space.h"

// Making room in a check at or below level 1, before anything else the check does there: the
// oldest candidates of MakeRoom go one by one, free space measured again after each, until it
// reaches MakeRoomTo, none is left, or MostFiles have gone. Each step is logged.
namespace RoomMaking {

constexpr int MostFiles = 10;

// At start and after each reload of the settings: logs "make-room-refused" with the reason
// when MakeRoom is set but cannot be used.
void configure();
// The check's free space from then on: the last measurement (a rehearsal measures nothing
// again), or no value when a measurement failed.
FreeMegabytes run(WindowHandle mainWindow, TimerId monitorTimer, FreeMegabytes free);
// The alarm is over: the next one says anew which files stayed and what was short.
void endExcursion();

} // namespace RoomMaking
