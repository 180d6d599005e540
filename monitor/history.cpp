#include "monitor/history.h"

namespace History {

Kept<Sample, MinuteSlots> samples;
Kept<Mark, EventSlots> marks;

namespace {

bool enabled = false;
std::uint32_t lastFreeMb = 0;

} // namespace

void start(bool on) {
    enabled = on;
    samples.count = marks.count = 0;
}

bool on() {
    return enabled;
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
        changed = true;
    } else if (freeMb < last->lowestMb) {
        last->lowestMb = freeMb;
    }
    for (int event = Alarm; event < EventKinds; ++event) {
        if ((events >> event & 1) != 0) {
            marks.add() = {nowSecond, static_cast<Event>(event)};
        }
    }
    return changed;
}

} // namespace History
