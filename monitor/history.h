#pragma once
#include <cstdint>

// What the History chart shows: the lowest free space of each minute of the last 24 hours, the
// recent events, the alarms and the local clock, each in a fixed buffer that drops its oldest
// entry when full; the samples also once they are 24 hours old, and the rest with them. Fed
// after each tick while ShowHistory was set at start; otherwise nothing is kept at all.
namespace History {

constexpr int MinuteSlots = 1440; // 24 hours
constexpr int EventSlots = 64;
constexpr int AlarmSlots = 64;
constexpr int ClockSlots = 8;
constexpr std::uint32_t MinuteSeconds = 60;

// An excursion begins (Alarm), takes the level-2 actions, ends (Recover); the others are the
// actions taken within it, and room made by deleting files.
enum Event : std::uint8_t {
    Alarm,
    LevelTwo,
    Recover,
    Key,
    Close,
    Shutdown,
    Command,
    Room,
    EventKinds
};

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

// An excursion, from its alarm to its recovery; `open` while it goes on. `startKnown` is
// false for one that began before anything was kept (the drive changed in the middle of it).
struct AlarmSpan {
    std::uint32_t startSecond;
    std::uint32_t endSecond;
    bool startKnown;
    bool open;
};

// From `fromSecond` on, local clock seconds of the day = (seconds + offset) modulo a day.
struct ClockOffset {
    std::uint32_t fromSecond;
    std::uint32_t offset;
};

// Moves the `count` items of `size` bytes at `items` down by one over the first.
void dropFirstItem(void* items, unsigned size, int& count);

// Oldest first.
template <typename T, int N> struct Kept {
    T items[N];
    int count;

    void dropFirst() { dropFirstItem(items, sizeof(T), count); }
    T& add() {
        if (count == N) {
            dropFirst();
        }
        return items[count++];
    }
};

extern Kept<Sample, MinuteSlots> samples;
extern Kept<Mark, EventSlots> marks;
extern Kept<AlarmSpan, AlarmSlots> alarms;
extern Kept<ClockOffset, ClockSlots> clock;

// Read once, at start; empties the buffers.
void start(bool on);
bool on();
// What is kept belongs to the drive it was measured on: another one starts afresh. `drive` as
// the settings hold it, of at most 7 characters.
void followDrive(const char* drive);

// True when `nowMs` begins a new minute: the moment to note the local clock.
bool localTimeDue(std::uint64_t nowMs);
// The local clock at `nowMs`; kept when it differs from the last kept by more than a minute
// (a change to or from daylight saving time, or of the clock), so that each moment is labelled
// with the local time it had.
void noteLocalTime(std::uint64_t nowMs, std::uint32_t localSecondOfDay);

// One tick's first measurement at `nowMs` and the events (bits) it brought. True when the
// chart has something new to show: a new minute, a new value or an event.
bool record(std::uint64_t nowMs, std::uint32_t freeMb, std::uint32_t events);

} // namespace History
