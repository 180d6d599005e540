#pragma once

#include "eventlog/event_log.h"

// Event log lines as the monitor sees the moment: the free_mb of the last tick's first
// measurement (empty before the first) and whether that tick found the target.
void logEvent(EventLog::Event event, const char* detail);
void logEvent(EventLog::Event event);
// The same, with the line on the disk before it returns.
void logFlushed(EventLog::Event event, const char* detail);
// The same with an empty free_mb, for a measurement that failed.
void logEventUnmeasured(EventLog::Event event, const char* detail);
// "start", with the drive, the interval, the rehearsal switch and the shutdown delay.
void logStart();

// "lock" or "unlock", as HideTarget says, with "skipped (no answer)" when the target did not
// answer in time (`made` false). Which of the two outcomes is worth a line depends on who asks.
enum class LockSaid { WhenSkipped, WhenMade, Always };
// What the log says of a message the target was not sent because it would not answer.
extern const char SkippedNoAnswer[];
void logLock(bool made, LockSaid say);
