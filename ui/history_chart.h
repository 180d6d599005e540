#pragma once
#include <cstdint>

#include "monitor/history.h"
#include "ui/tray_text.h"

// The History chart's arithmetic: what is drawn where, from the buffers of monitor/history.h,
// the levels, the last tick and the two clocks, as a list the window draws in order. The
// window adds nothing of its own but the pixels.
namespace HistoryChart {

struct Rect {
    std::int32_t left, top, right, bottom;
};
struct Point {
    std::int32_t x, y;
};

// The client area and the plot in it.
constexpr std::int32_t Width = 480;
constexpr std::int32_t Height = 246;
constexpr Rect Plot = {64, 26, 468, 222};
constexpr std::int32_t TextHeight = 16;

constexpr std::uint32_t LongestSpan = 24 * 60 * History::MinuteSeconds; // seconds
constexpr std::uint32_t ShortestSpan = 5 * History::MinuteSeconds;
// Megabytes beyond a petabyte either way are drawn at its edge, which keeps the arithmetic
// in 32 bits; the texts show the real values.
constexpr std::int32_t FarthestMb = 1000000000;
constexpr int MostMbLabels = 7;   // round steps never give more
constexpr int MostTimeLabels = 8; // one more where the clock went forward

// Texts are aligned in their box as the first three say; Fill fills the box. The curve goes
// over them all.
enum Draw : std::uint8_t { Left, Centre, Right, Fill };

struct Item {
    Rect box;
    std::uint32_t colour; // 0x00BBGGRR, as the panel's
    Draw draw;
    char text[TrayText::TipSize];
};

// The background, the excursions, the actions, the axis, its labels, the levels' lines and
// labels, and the line of text.
constexpr int MostItems =
    1 + History::AlarmSlots + History::EventSlots + 1 + MostMbLabels + MostTimeLabels + 2 * 2 + 1;

struct Layout {
    Item items[MostItems];
    int count;
    // Every minute's sample of the range, then the last one held until now.
    Point curve[History::MinuteSlots + 1];
    int points;
};

// Static: far too big for the stack of a window procedure.
extern Layout layout;
// Lays the chart out at `nowMs` on the monotonic clock, which is `localSecondOfDay` on the
// local clock: the last 24 hours, or since the first sample if that is shorter (at least 5
// minutes).
void build(std::uint64_t nowMs, std::uint32_t localSecondOfDay);

} // namespace HistoryChart
