#pragma once
#include <cstdint>

// What the History chart shows: the lowest free space of each minute of the last 24 hours and
// the recent events, each in a fixed buffer that drops its oldest entry when full (and the
// samples also once they are 24 hours old). Fed after
// each tick while ShowHistory was set at start; otherwise nothing is kept at all.
namespace History {

constexpr int MinuteSlots = 1440; // 24 hours
constexpr int EventSlots = 64;
constexpr std::uint32_t MinuteSeconds = 60;

// An excursion begins (Alarm), takes the level-2 actions, ends (Recover); the others are the
// actions taken within it.
enum Event : std::uint8_t { Alarm, LevelTwo, Recover, Key, Close, Shutdown, Command, EventKinds };

constexpr std::uint32_t bit(Event event) {
    return 1u << event;
}

// Times are whole seconds of the monotonic clock: 32 bits last 136 years.
struct Sample {
    std::uint32_t minute; // seconds / MinuteSeconds
    std::uint32_t lowestMb;
};

struct Mark {
    std::uint32_t second;
    Event event;
};

// Oldest first.
template <typename T, int N> struct Kept {
    T items[N];
    int count;

    void dropFirst() {
        for (int i = 1; i < count; ++i) {
            items[i - 1] = items[i];
        }
        --count;
    }
    T& add() {
        if (count == N) {
            dropFirst();
        }
        return items[count++];
    }
};

extern Kept<Sample, MinuteSlots> samples;
extern Kept<Mark, EventSlots> marks;

// Read once, at start; empties both buffers.
void start(bool on);
bool on();

// One tick's first measurement at `nowMs` and the events (bits) it brought. True when the
// chart has something new to show: a new minute, a new value or an event.
bool record(std::uint64_t nowMs, std::uint32_t freeMb, std::uint32_t events);

} // namespace History
