#include "tuner/tuner_meter.h"

#include <cstring>

#include "core/text_builder.h"
#include "settings/number_text.h"
#include "tuner/tuner_platform.h"

bool tunerAvailable = false;
std::int32_t signalLevel = 0;
char LevelText[LevelTextSize];

namespace {

constexpr std::uint32_t TunerStatusSize = 192;
constexpr std::uint32_t StateCodeOffset = 32;
constexpr std::uint32_t LevelValueOffset = 80;
constexpr std::int32_t LevelValid = 3;
constexpr std::uint32_t Green = 0x0000FF00;  // RGB(0,255,0) as COLORREF
constexpr std::uint32_t Yellow = 0x0000FFFF; // RGB(255,255,0) as COLORREF

// The library's own; the program never reads or writes them itself. The library writes
// 32-bit fields into both byte arrays, so they get the alignment a struct would have.
alignas(8) unsigned char openWorkArea[8192];
std::uint32_t openOutValue = 0;
std::uint32_t adapterHandle = 0;
// Not cleared between polls: a failed read leaves the previous record in place.
alignas(8) unsigned char TunerStatus[TunerStatusSize];

std::int32_t readField(std::uint32_t offset) {
    std::int32_t value;
    std::memcpy(&value, TunerStatus + offset, sizeof value);
    return value;
}

} // namespace

void formatLevelText(std::int32_t level, char* out) {
    const std::int32_t shown = level > 999 ? 999 : (level < -99 ? -99 : level);
    formatPadded(out, LevelTextSize, shown, 2);
}

namespace TunerMeter {

void openTuner() {
    // Set here rather than as initial data: a section of its own would cost the file 512 bytes.
    TextBuilder(LevelText, LevelTextSize).text("N/A");
    if (!loadTunerLibrary()) {
        return;
    }
    tunerAvailable = true;
    if (tunerOpen(openWorkArea, &openOutValue) != 0) {
        tunerAvailable = false;
        return;
    }
    if (tunerGetAdapterHandle(&adapterHandle) != 0) {
        tunerAvailable = false;
    }
}

void createBar(WindowHandle mainWindow) {
    createLevelBarControl(mainWindow);
}

void pollTuner() {
    tunerGetStatus(adapterHandle, TunerStatus, TunerStatusSize);
    signalLevel = readField(LevelValueOffset);
    if (readField(StateCodeOffset) != LevelValid) {
        signalLevel = 0;
    }
    switch (levelColour(signalLevel)) {
    case LevelColour::Green:
        setLevelBarColour(Green);
        break;
    case LevelColour::Yellow:
        setLevelBarColour(Yellow);
        break;
    case LevelColour::Unchanged:
        break;
    }
    setLevelBarPosition(signalLevel);
    formatLevelText(signalLevel, LevelText);
}

void closeTuner() {
    tunerClose();
}

} // namespace TunerMeter
