#include "tuner/tuner_meter.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_tuner_platform.h"

using FakeTuner::calls;
using FakeTuner::library;
using Calls = std::vector<std::string>;

namespace {

class TunerMeterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeTuner::reset();
        tunerAvailable = false;
        signalLevel = 0;
        std::strcpy(LevelText, "N/A");
    }

    // Opens a working library and forgets the calls that took.
    void openAvailable() {
        TunerMeter::openTuner();
        ASSERT_TRUE(tunerAvailable);
        calls.clear();
    }

    void poll(std::int32_t stateCode, std::int32_t level) {
        library.stateCode = stateCode;
        library.level = level;
        TunerMeter::pollTuner();
    }
};

TEST_F(TunerMeterTest, MissingOrIncompleteLibraryIsNeverCalled) {
    library.loads = false;
    TunerMeter::openTuner();
    EXPECT_FALSE(tunerAvailable);
    EXPECT_EQ(calls, Calls({"load"}));
    EXPECT_STREQ(LevelText, "N/A");
    EXPECT_EQ(signalLevel, 0);
}

TEST_F(TunerMeterTest, RefusedOpenSkipsTheAdapter) {
    library.openResult = 1;
    TunerMeter::openTuner();
    EXPECT_FALSE(tunerAvailable);
    EXPECT_EQ(calls, Calls({"load", "SkyOpen"}));
}

TEST_F(TunerMeterTest, RefusedAdapterLeavesTheMeterOff) {
    library.handleResult = -1;
    TunerMeter::openTuner();
    EXPECT_FALSE(tunerAvailable);
    EXPECT_EQ(calls, Calls({"load", "SkyOpen", "SkyAdapterGetHandle"}));
}

TEST_F(TunerMeterTest, OpenedLibraryPollsWithItsAdapterHandle) {
    library.handle = 0xCAFE01;
    TunerMeter::openTuner();
    EXPECT_TRUE(tunerAvailable);
    EXPECT_EQ(calls, Calls({"load", "SkyOpen", "SkyAdapterGetHandle"}));

    calls.clear();
    poll(3, 55);
    TunerMeter::closeTuner();
    EXPECT_EQ(calls, Calls({"SkyAdapterTunerGet handle CAFE01 size 192", "colour 00FF00",
                            "position 55", "SkyClose"}));
}

TEST_F(TunerMeterTest, BarIsCreatedWithoutTheLibrary) {
    library.loads = false;
    TunerMeter::openTuner();
    calls.clear();
    TunerMeter::createBar(nullptr);
    EXPECT_EQ(calls, Calls({"create bar"}));
}

struct PollCase {
    std::int32_t stateCode;
    std::int32_t level;
    std::int32_t signal;
    const char* colour; // nullptr: the bar colour is left alone
    const char* text;
};

TEST_F(TunerMeterTest, PollSetsColourPositionAndText) {
    const PollCase cases[] = {
        {3, 55, 55, "colour 00FF00", "55"},
        {3, 40, 40, "colour 00FF00", "40"},
        {3, 39, 39, "colour 00FFFF", "39"},
        {3, 1, 1, "colour 00FFFF", "01"},
        {3, 7, 7, "colour 00FFFF", "07"},
        {3, 0, 0, nullptr, "00"},
        {3, 100, 100, "colour 00FF00", "100"},
        {3, 150, 150, "colour 00FF00", "150"},
        // Unsigned comparison: a negative level counts as high.
        {3, -5, -5, "colour 00FF00", "-5"},
        // Only state 3 carries a level.
        {2, 80, 0, nullptr, "00"},
        {0, 55, 0, nullptr, "00"},
        {-3, 55, 0, nullptr, "00"},
        // Beyond the three characters of the field the nearest end is shown.
        {3, 999, 999, "colour 00FF00", "999"},
        {3, 1000, 1000, "colour 00FF00", "999"},
        {3, INT_MAX, INT_MAX, "colour 00FF00", "999"},
        {3, -99, -99, "colour 00FF00", "-99"},
        {3, -100, -100, "colour 00FF00", "-99"},
        {3, INT_MIN, INT_MIN, "colour 00FF00", "-99"},
    };
    openAvailable();
    for (const PollCase& c : cases) {
        SCOPED_TRACE("state " + std::to_string(c.stateCode) + " level " + std::to_string(c.level));
        calls.clear();
        poll(c.stateCode, c.level);
        Calls expected = {"SkyAdapterTunerGet handle 5EED size 192"};
        if (c.colour != nullptr) {
            expected.push_back(c.colour);
        }
        // The control clamps the position itself: the raw level is passed on.
        expected.push_back("position " + std::to_string(c.signal));
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(signalLevel, c.signal);
        EXPECT_STREQ(LevelText, c.text);
    }
}

TEST_F(TunerMeterTest, StatusRecordKeepsItsContentWhenNotFilled) {
    openAvailable();
    poll(3, 55);
    library.fills = false;
    calls.clear();
    poll(2, 10);
    EXPECT_EQ(signalLevel, 55);
    EXPECT_STREQ(LevelText, "55");
    EXPECT_EQ(calls,
              Calls({"SkyAdapterTunerGet handle 5EED size 192", "colour 00FF00", "position 55"}));
}

TEST(LevelColour, UnsignedThresholds) {
    const struct {
        std::int32_t level;
        LevelColour colour;
    } cases[] = {
        {0, LevelColour::Unchanged},   {1, LevelColour::Yellow},      {39, LevelColour::Yellow},
        {40, LevelColour::Green},      {100, LevelColour::Green},     {-1, LevelColour::Green},
        {INT_MIN, LevelColour::Green}, {INT_MAX, LevelColour::Green},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(levelColour(c.level), c.colour) << "level " << c.level;
    }
}

TEST(FormatLevelText, NeverWritesBeyondTheField) {
    const std::int32_t levels[] = {0, 5, -9, 999, -99, 1000, -100, 123456, INT_MAX, INT_MIN};
    for (std::int32_t level : levels) {
        char buffer[LevelTextSize + 4];
        std::memset(buffer, '#', sizeof buffer);
        formatLevelText(level, buffer);
        EXPECT_LE(std::strlen(buffer), 3u) << "level " << level;
        EXPECT_EQ(std::string(buffer + LevelTextSize, 4), "####") << "level " << level;
    }
}

} // namespace
