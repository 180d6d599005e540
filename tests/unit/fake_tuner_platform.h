#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A scripted tuner library and level bar for the meter's tests. Every call is recorded in
// order as a short text, e.g. "SkyOpen", "colour 00FF00", "position 55".
namespace FakeTuner {

struct Library {
    bool loads = true;
    std::int32_t openResult = 0;
    std::int32_t handleResult = 0;
    std::uint32_t handle = 0x5EED;
    // What the next SkyAdapterTunerGet writes; with `fills` false it leaves the record alone.
    bool fills = true;
    std::int32_t stateCode = 3;
    std::int32_t level = 0;
};

extern Library library;
extern std::vector<std::string> calls;

// A library that loads and opens; no calls recorded.
void reset();

} // namespace FakeTuner
