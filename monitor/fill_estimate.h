#pragma once
#include <cstdint>

#include "core/transition.h"

class TextBuilder;

// The fill-time estimate: the ticks' first measurements of the last 10 minutes, kept in
// a fixed ring, and the least-squares slope through them.
namespace FillEstimate {

constexpr std::uint64_t SpacingMs = 5000;  // at most one sample per 5 s, whatever the interval
constexpr std::uint64_t WindowMs = 600000; // 10 minutes
constexpr int Capacity = 121;              // 10 minutes of samples 5 s apart, ends included
constexpr int MinimumSamples = 3;
constexpr std::uint64_t MinimumSpanMs = 30000;
// The drive's own bookkeeping moves free space by a megabyte now and then: a fall of no more
// than this over the samples is no fall.
constexpr double MinimumFallMb = 2.0;
// Ten minutes say nothing about next week: an arrival further away is no estimate.
constexpr std::int32_t MostMinutes = 7 * 24 * 60;

void reset();
// Samples belong to the drive they were measured on: another one starts afresh. `drive` as
// the settings hold it, of at most 7 characters.
void followDrive(const char* drive);
// Keeps the measurement when at least SpacingMs have passed since the last one kept. One more
// than MinimumFallMb above the last one kept starts afresh: free space was made.
void addSample(std::uint64_t nowMs, std::uint32_t freeMb);
// The forecast at `nowMs` for free space `freeMb`: minutes until it reaches level 1 while
// above it, until level 2 once at or below level 1. Unknown while fewer than 3 samples of
// the last 10 minutes span at least 30 s, while free space is steady, rising or falling by
// no more than MinimumFallMb over them, and when the level is more than MostMinutes away.
FillForecast forecast(std::uint64_t nowMs, std::uint32_t freeMb, std::int32_t level1,
                      std::int32_t level2);

// "-20.5": MB per minute to one decimal, rounded half away from zero. Returns the length.
int formatRate(double mbPerMinute, char* out, int size);
// "level 2 in about 12 min", as the log's alarm line and the alarm balloon both say it.
void describeArrival(TextBuilder& out, const FillForecast& forecast);

} // namespace FillEstimate
