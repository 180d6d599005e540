#pragma once
#include <cstddef>
#include <cstdint>

#include "core/names.h"

// The opt-in keys: `load` reads them and `save` never writes them, so a file without them
// behaves exactly as one from before they existed (absent is 0 or empty). One row per key:
// `load` walks the table, and a test holds the README, the guide and the sample to it.
namespace OptIn {

enum class Kind : std::uint8_t {
    Path,   // text; one too long for its field leaves the key unset rather than cut
    Switch, // yes, true, on or a number other than 0: on; anything else off
    // A switch whose unclear value (a word that is neither on nor off) means on, because off
    // is the side that does harm; its mark tells that it was read so.
    FailSafeSwitch,
    Seconds, // 0 to MostSeconds; a negative number counts as 0, a larger one as MostSeconds
    // 0 to the largest signed 32-bit number, a larger one counting as that; a negative number
    // or one that is no number at all counts as absent: 0 megabytes, 60 minutes.
    Megabytes,
    Minutes,
    Command, // the line as written, quotes kept; one too long for its field is never cut
};

// Offsets into Settings, which is far smaller than 64 KB. The names are kept apart, in the
// same order (keyName()).
struct Key {
    Kind kind;
    std::uint16_t field; // where in Settings
    // Command: where its CommandUnread reason is; FailSafeSwitch: where its "unclear" bool
    // is; Path: where its "too long" bool is, if it has one (0 when not); unused otherwise.
    std::uint16_t mark;
};

extern const Key Keys[];
extern const int KeyCount;
// The keys' names in the order of Keys, each ended by a zero byte.
extern const char KeyNames[];
inline const char* keyName(int index) {
    return packedWord(KeyNames, index);
}

// The largest number of seconds whose milliseconds fit the platform's signed 32-bit timers
// and time-outs: about 24.8 days.
constexpr std::int32_t MostSeconds = 2147483;

// A number as the user typed it: blanks, a sign, then decimal digits (or 0x and hex digits,
// which the profile API reads too); anything after them is ignored and no digits read as 0.
// The magnitude is exact far beyond 32 bits and saturates instead of wrapping.
struct TypedNumber {
    bool negative;
    std::uint64_t magnitude;
};
TypedNumber parseTyped(const char* text);

// A switch as typed: the words yes, true and on and no, false and off in any letter case, or
// a number; empty is off, and any other text is unclear.
enum class SwitchReading { Off, On, Unclear };
SwitchReading readSwitch(const char* text);
std::int32_t switchValue(const char* text);
std::int32_t secondsValue(const char* text);
std::int32_t countValue(const char* text, std::int32_t absent);

} // namespace OptIn
