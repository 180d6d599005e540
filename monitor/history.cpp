#include "monitor/history.h"

#include <cstring>

#include "core/names.h"

namespace History {

Kept<Sample, MinuteSlots> samples;
Kept<Mark, EventSlots> marks;
Kept<AlarmSpan, AlarmSlots> alarms;
Kept<ClockOffset, ClockSlots> clock;

namespace {

constexpr std::uint32_t Day = 24 * 60 * MinuteSeconds;
// The two clocks drift apart by a second now and then: no change of the local clock.
constexpr std::uint32_t ClockSlack = MinuteSeconds;
constexpr int DriveSize = 8;

bool enabled = false;
std::uint32_t lastFreeMb = 0;
char keptDrive[DriveSize];

void clear() {
    samples.count = marks.count = alarms.count = clock.count = 0;
}

// Everything from before the first sample goes with it; the clock's offset that was in force
// at that moment stays.
void forgetBefore(std::uint32_t second) {
    while (marks.count > 0 && marks.items[0].second < second) {
        marks.dropFirst();
    }
    while (alarms.count > 0 && !alarms.items[0].open && alarms.items[0].endSecond < second) {
        alarms.dropFirst();
    }
    while (clock.count > 1 && clock.items[1].fromSecond <= second) {
        clock.dropFirst();
    }
}

void followAlarms(std::uint32_t nowSecond, std::uint32_t events) {
    AlarmSpan* last = alarms.count > 0 ? &alarms.items[alarms.count - 1] : nullptr;
    if ((events & bit(Alarm)) != 0) {
        alarms.add() = {nowSecond, nowSecond, true, true};
    } else if ((events & bit(Recover)) != 0) {
        if (last != nullptr && last->open) {
            last->endSecond = nowSecond;
            last->open = false;
        } else {
            alarms.add() = {0, nowSecond, false, false};
        }
    }
}

std::uint32_t clockDistance(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t apart = a > b ? a - b : b - a;
    return apart < Day - apart ? apart : Day - apart;
}

} // namespace

void dropFirstItem(void* items, unsigned size, int& count) {
    --count;
    auto* bytes = static_cast<unsigned char*>(items);
    std::memmove(bytes, bytes + size, static_cast<std::size_t>(count) * size);
}

void start(bool on) {
    enabled = on;
    keptDrive[0] = '\0';
    clear();
}

bool on() {
    return enabled;
}

void followDrive(const char* drive) {
    if (keepName(keptDrive, DriveSize, drive)) {
        clear();
    }
}

bool localTimeDue(std::uint64_t nowMs) {
    const auto minute = static_cast<std::uint32_t>(nowMs / 1000 / MinuteSeconds);
    return samples.count == 0 || samples.items[samples.count - 1].minute != minute;
}

void noteLocalTime(std::uint64_t nowMs, std::uint32_t localSecondOfDay) {
    const auto nowSecond = static_cast<std::uint32_t>(nowMs / 1000);
    const std::uint32_t offset = (localSecondOfDay % Day + Day - nowSecond % Day) % Day;
    if (clock.count == 0 ||
        clockDistance(clock.items[clock.count - 1].offset, offset) > ClockSlack) {
        clock.add() = {nowSecond, offset};
    }
}

bool record(std::uint64_t nowMs, std::uint32_t freeMb, std::uint32_t events) {
    const auto nowSecond = static_cast<std::uint32_t>(nowMs / 1000);
    const std::uint32_t minute = nowSecond / MinuteSeconds;
    bool changed = freeMb != lastFreeMb || events != 0;
    lastFreeMb = freeMb;
    Sample* last = samples.count > 0 ? &samples.items[samples.count - 1] : nullptr;
    if (last == nullptr || last->minute != minute) {
        samples.add() = {minute, freeMb};
        while (samples.items[0].minute + MinuteSlots <= minute) {
            samples.dropFirst();
        }
        forgetBefore(samples.items[0].minute * MinuteSeconds);
        changed = true;
    } else if (freeMb < last->lowestMb) {
        last->lowestMb = freeMb;
    }
    for (int event = Alarm; event < EventKinds; ++event) {
        if ((events >> event & 1) != 0) {
            marks.add() = {nowSecond, static_cast<Event>(event)};
        }
    }
    followAlarms(nowSecond, events);
    return changed;
}

} // namespace History
