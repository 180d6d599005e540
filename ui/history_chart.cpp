#include "ui/history_chart.h"

#include "core/names.h"
#include "core/text_builder.h"
#include "monitor/alarm_cycle.h"
#include "monitor/fill_estimate.h"
#include "settings/settings.h"
#include "ui/panel_platform.h"

namespace {

using History::MinuteSeconds;
using namespace HistoryChart;

constexpr std::uint32_t Day = 24 * 60 * MinuteSeconds;
// Round local clock steps in minutes; each divides a day, so the labels fall on the same
// clock times every day.
constexpr std::uint16_t TimeSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 360};
constexpr std::uint32_t MostTimeSteps = 6;
constexpr int MostMbSteps = 5;
constexpr std::int32_t RowHeight = 14;
constexpr std::int32_t LabelWidth = 60;
// The actions of an excursion, from the key on, each in a row of its own; the excursion
// itself is the shading.
constexpr char Actions[] = "key\0close\0shutdown\0command\0room";

// The panel's colours; the excursions in a dark red that the curve reads well on.
constexpr std::uint32_t White = panelColour(255, 255, 255);
constexpr std::uint32_t Shade = panelColour(90, 0, 0);
constexpr std::uint32_t LevelColours[2] = {panelColour(255, 255, 0), panelColour(255, 150, 50)};

std::int32_t nearMb(std::int32_t mb) {
    return mb < -FarthestMb ? -FarthestMb : mb > FarthestMb ? FarthestMb : mb;
}

std::int32_t sampleMb(const History::Sample& sample) {
    return sample.lowestMb > static_cast<std::uint32_t>(FarthestMb)
               ? FarthestMb
               : static_cast<std::int32_t>(sample.lowestMb);
}

std::int32_t floorDiv(std::int32_t value, std::int32_t step) {
    return value >= 0 ? value / step : -((step - 1 - value) / step);
}

struct Scale {
    std::uint32_t start, span; // seconds
    std::int32_t lowMb, highMb;

    // Times outside the range land on its edges.
    std::int32_t x(std::uint32_t second) const {
        std::uint32_t into = second < start ? 0 : second - start;
        into = into > span ? span : into;
        return Plot.left + static_cast<std::int32_t>(into * (Plot.right - Plot.left) / span);
    }
    std::int32_t y(std::int32_t mb) const;
};

std::int32_t Scale::y(std::int32_t mb) const {
    return Plot.bottom - static_cast<std::int32_t>(static_cast<std::uint64_t>(nearMb(mb) - lowMb) *
                                                   (Plot.bottom - Plot.top) /
                                                   static_cast<std::uint32_t>(highMb - lowMb));
}

// Appends an item; a text item's text is then written through the builder.
TextBuilder add(Draw draw, std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom, std::uint32_t colour) {
    Item& item = layout.items[layout.count++];
    item.box = {left, top, right, bottom};
    item.colour = colour;
    item.draw = draw;
    return TextBuilder(item.text, TrayText::TipSize);
}

void shade(std::int32_t left, std::int32_t right) {
    add(Fill, left, Plot.top, right + 1, Plot.bottom, Shade);
}

// From the first sample, which the buffer keeps within 24 hours of the last tick.
void timeRange(std::uint32_t now, Scale& scale) {
    std::uint32_t start = now > ShortestSpan ? now - ShortestSpan : 0;
    if (History::samples.count > 0 && History::samples.items[0].minute * MinuteSeconds < start) {
        start = History::samples.items[0].minute * MinuteSeconds;
    }
    if (now > LongestSpan && start < now - LongestSpan) {
        start = now - LongestSpan;
    }
    scale.start = start;
    scale.span = now > start ? now - start : 1;
}

// The smallest step of 1, 2 or 5 times a power of ten that cuts `range` into at most
// `mostSteps` steps.
std::int32_t roundStep(std::int32_t range, int mostSteps) {
    std::uint32_t step = 1;
    for (int i = 0; static_cast<std::uint32_t>(range) > step * mostSteps; ++i) {
        // 1, 2, 5, 10, 20, 50, ...
        step = i % 3 == 1 ? step / 2 * 5 : step * 2;
    }
    return static_cast<std::int32_t>(step);
}

// Both levels and every sample, widened to round steps.
void megabyteAxis(Scale& scale) {
    std::int32_t low = nearMb(settings.level1);
    std::int32_t high = low;
    const std::int32_t level2 = nearMb(settings.level2);
    low = level2 < low ? level2 : low;
    high = level2 > high ? level2 : high;
    for (int i = 0; i < History::samples.count; ++i) {
        const std::int32_t mb = sampleMb(History::samples.items[i]);
        low = mb < low ? mb : low;
        high = mb > high ? mb : high;
    }
    const std::int32_t step = roundStep(high - low, MostMbSteps);
    scale.lowMb = floorDiv(low, step) * step;
    scale.highMb = floorDiv(high + step - 1, step) * step;
    if (scale.highMb == scale.lowMb) {
        scale.highMb += step;
    }
    for (std::int32_t mb = scale.lowMb; mb <= scale.highMb; mb += step) {
        const std::int32_t y = scale.y(mb) - TextHeight / 2;
        add(Right, 0, y, Plot.left - 6, y + TextHeight, White).number(mb);
    }
}

std::uint32_t labelStep(const Scale& scale) {
    std::uint32_t step = 0;
    for (const std::uint32_t minutes : TimeSteps) {
        step = minutes * MinuteSeconds;
        if (scale.span <= step * MostTimeSteps) {
            break;
        }
    }
    return step;
}

// Local clock time = monotonic seconds + offset, modulo a day.
std::uint32_t offsetOf(std::uint32_t now, std::uint32_t localSecondOfDay) {
    return (localSecondOfDay % Day + Day - now % Day) % Day;
}

void timeLabel(std::uint32_t local, std::int32_t x) {
    const std::uint32_t minute = local / MinuteSeconds % (24 * 60);
    add(Centre, x - LabelWidth / 2, Plot.bottom + 2, x + LabelWidth / 2,
        Plot.bottom + 2 + TextHeight, White)
        .padded(minute / 60, 2)
        .character(':')
        .padded(minute % 60, 2);
}

// Each moment is labelled with the local time it had: by the clock's offsets as the ticks
// kept them, or by the one of now where none was kept.
void timeAxis(std::uint32_t now, std::uint32_t localSecondOfDay, const Scale& scale) {
    const History::Kept<History::ClockOffset, History::ClockSlots>& clock = History::clock;
    const int periods = clock.count > 0 ? clock.count : 1;
    const std::uint32_t step = labelStep(scale);
    std::int32_t lastX = Plot.left - LabelWidth;
    int labels = 0;
    for (int i = 0; i < periods; ++i) {
        const std::uint32_t offset =
            clock.count > 0 ? clock.items[i].offset : offsetOf(now, localSecondOfDay);
        std::uint32_t from = scale.start;
        if (i > 0 && clock.items[i].fromSecond > from) {
            from = clock.items[i].fromSecond;
        }
        const std::uint32_t until = i + 1 < periods ? clock.items[i + 1].fromSecond : now + 1;
        for (std::uint32_t local = (from + offset + step - 1) / step * step;
             local < until + offset && labels < MostTimeLabels; local += step) {
            const std::int32_t x = scale.x(local - offset);
            // Where the clock went back, the hour it repeats is labelled once.
            if (x - lastX >= LabelWidth) {
                timeLabel(local, x);
                lastX = x;
                ++labels;
            }
        }
    }
}

// Each alarm is shaded from its start, or from the range's start where it began before; one
// still open, to now, which is the plot's right edge. The actions are marked above them.
void events(const Scale& scale) {
    for (int i = 0; i < History::alarms.count; ++i) {
        const History::AlarmSpan& alarm = History::alarms.items[i];
        if (!alarm.open && alarm.endSecond < scale.start) {
            continue;
        }
        shade(alarm.startKnown ? scale.x(alarm.startSecond) : Plot.left,
              alarm.open ? Plot.right : scale.x(alarm.endSecond));
    }
    for (int i = 0; i < History::marks.count; ++i) {
        const History::Mark& mark = History::marks.items[i];
        const int row = mark.event - History::Key;
        if (row >= 0 && mark.second >= scale.start) {
            const std::int32_t x = scale.x(mark.second);
            const std::int32_t y = Plot.top + row * RowHeight;
            add(Centre, x - 40, y, x + 40, y + TextHeight, White).text(packedWord(Actions, row));
        }
    }
}

} // namespace

namespace HistoryChart {

Layout layout;

void build(std::uint64_t nowMs, std::uint32_t localSecondOfDay) {
    const auto nowSecond = static_cast<std::uint32_t>(nowMs / 1000);
    layout.count = layout.points = 0;
    add(Fill, 0, 0, Width, Height, panelColour(0, 0, 0));
    Scale scale;
    timeRange(nowSecond, scale);
    events(scale);
    add(Fill, Plot.left, Plot.bottom, Plot.right, Plot.bottom + 1, White);
    megabyteAxis(scale);
    timeAxis(nowSecond, localSecondOfDay, scale);
    const std::int32_t levels[2] = {settings.level1, settings.level2};
    for (int i = 0; i < 2; ++i) {
        const std::int32_t y = scale.y(levels[i]);
        add(Fill, Plot.left, y, Plot.right, y + 1, LevelColours[i]);
        add(Right, Plot.left, y - TextHeight, Plot.right, y, LevelColours[i])
            .number(levels[i])
            .text(" MB");
    }
    for (int i = 0; i < History::samples.count; ++i) {
        const History::Sample& sample = History::samples.items[i];
        layout.curve[layout.points++] = {scale.x(sample.minute * MinuteSeconds),
                                         scale.y(sampleMb(sample))};
    }
    if (layout.points > 0) {
        layout.curve[layout.points] = {Plot.right, layout.curve[layout.points - 1].y};
        ++layout.points;
    }
    // The last tick's measurement and its estimate at that tick's time.
    if (lastTick.measured) {
        const std::uint32_t freeMb = lastTick.facts.freeMb;
        add(Left, 6, 4, Width, 4 + TextHeight, White);
        TrayText::estimateTip(
            freeMb,
            FillEstimate::forecast(lastTick.nowMs, freeMb, settings.level1, settings.level2),
            settings.DryRun != 0, layout.items[layout.count - 1].text);
    }
}

} // namespace HistoryChart
