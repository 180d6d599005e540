#pragma once
#include <cstdint>

// The three moments of an excursion below level 1 that the program tells others about:
// its first alarm tick, its first tick that takes the level-2 actions, and the first
// normal tick after it. Each happens at most once per excursion. And a check that made room
// by deleting files, which may come in any check at or below level 1.
enum class Transition { Alarm, LevelTwo, Recover, MakeRoom };

// How long until free space reaches the next level, from the recent rate of fall.
struct FillForecast {
    bool known;           // false while free space is steady or rising, or samples are too few
    double mbPerMinute;   // negative while it falls
    std::int32_t minutes; // whole minutes, rounded
    int towardsLevel;     // 1 while above level 1, else 2
};

// What a transition's announcements say: the tick's first measurement and what it found.
struct TransitionFacts {
    std::uint32_t freeMb;
    bool targetPresent;
    FillForecast forecast;
    std::uint32_t roomFiles = 0; // made room: the files deleted in the check
    std::uint32_t roomMb = 0;    // and their megabytes
};
