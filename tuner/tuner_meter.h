#pragma once
#include <cstdint>

#include "core/handles.h"

// True while the tuner library is loaded, complete and opened.
extern bool tunerAvailable;
// The last poll's level (0 when its state code was not 3).
extern std::int32_t signalLevel;
// Three characters and a terminator; "N/A" until the first poll.
constexpr int LevelTextSize = 4;
extern char LevelText[LevelTextSize];

namespace TunerMeter {
void openTuner();
void createBar(WindowHandle mainWindow);
void pollTuner();
void closeTuner();
} // namespace TunerMeter

enum class LevelColour { Unchanged, Yellow, Green };

// 40 or more compared unsigned (so negative levels count as high), 1..39 yellow,
// 0 leaves the colour as it is. The bar and the panel's number share the rule.
inline LevelColour levelColour(std::int32_t level) {
    const std::uint32_t asUnsigned = static_cast<std::uint32_t>(level);
    if (asUnsigned >= 40) {
        return LevelColour::Green;
    }
    return asUnsigned != 0 ? LevelColour::Yellow : LevelColour::Unchanged;
}

// "%02li" into a three-character field: levels beyond -99..999 show as the nearest end.
void formatLevelText(std::int32_t level, char* out);
