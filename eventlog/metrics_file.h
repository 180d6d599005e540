#pragma once
#include <cstdint>

// The metrics file: the guard's state and its counts in the Prometheus text format, for a
// collector that reads *.prom files (MetricsFile). Written at every event and otherwise at
// most every PeriodMs; at the end with zembrovale_up 0.
namespace Metrics {

// Counts since start, kept whether or not the file is written.
struct Tally {
    std::uint32_t alarms;
    std::uint32_t shutdownRequests;
    std::uint32_t commandsFailed;
    std::uint32_t roomFiles;
    std::uint64_t roomBytes;
};
extern Tally tally;

// What the last check found.
struct Gauges {
    bool measured;
    std::uint32_t freeMb;
    bool alarm;
    bool levelTwo; // the level 2 actions were taken in the current alarm
    bool targetPresent;
    bool up; // false once the program ends
};

constexpr std::uint64_t PeriodMs = 15000;
constexpr int TextSize = 4096;

// An event of the log happened: the file is written after the check.
void noteEvent();
// After each check at `nowMs`: writes the file when an event came since the last write or
// PeriodMs have passed. Does nothing while MetricsFile is unset.
void afterCheck(std::uint64_t nowMs, const Gauges& gauges);
// Writes the file now; at the end, with `up` false.
void write(const Gauges& gauges);

// The file's text; its length.
int format(const Gauges& gauges, std::int64_t checkedAt, const char* arch, char* out, int size);

} // namespace Metrics
