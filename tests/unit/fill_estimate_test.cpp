#include "monitor/fill_estimate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace FillEstimate;

constexpr std::uint64_t Start = 5000000000; // some 58 days of uptime on the tick clock
constexpr std::uint64_t Minute = 60000;

// Ticks every `stepMs` from `fromMs` to `toMs` while free space moves by `mbPerMinute`;
// returns the last measurement.
std::uint32_t tickLine(std::uint64_t fromMs, std::uint64_t toMs, std::uint64_t stepMs,
                       double startMb, double mbPerMinute) {
    std::uint32_t freeMb = 0;
    for (std::uint64_t t = fromMs; t <= toMs; t += stepMs) {
        freeMb = static_cast<std::uint32_t>(startMb + mbPerMinute * (t - fromMs) / Minute + 0.5);
        addSample(t, freeMb);
    }
    return freeMb;
}

class FillEstimateTest : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
};

TEST_F(FillEstimateTest, SteadyFallCountsDownToLevelOneThenLevelTwo) {
    tickLine(Start, Start + 10 * Minute, 2 * Minute, 20000, -20.5); // whole MB every 2 min
    struct Row {
        std::uint32_t freeMb;
        int towardsLevel;
        std::int32_t minutes;
    };
    const Row rows[] = {
        {10000, 1, 244}, // 243.9
        {5011, 1, 1},    // 0.54
        {5001, 1, 0},    // 0.05
        {5000, 2, 195},  // at level 1 it counts to level 2: 195.1
        {1010, 2, 0},    // 0.49
        {1000, 2, 0},    {0, 2, 0},
    };
    for (const Row& row : rows) {
        const FillForecast f = forecast(Start + 10 * Minute, row.freeMb, 5000, 1000);
        EXPECT_TRUE(f.known);
        EXPECT_DOUBLE_EQ(f.mbPerMinute, -20.5);
        EXPECT_EQ(f.towardsLevel, row.towardsLevel) << row.freeMb;
        EXPECT_EQ(f.minutes, row.minutes) << row.freeMb;
    }
}

TEST_F(FillEstimateTest, HugeFreeSpaceStaysAboveLevelOneAndMinutesClamp) {
    tickLine(Start, Start + 10 * Minute, 5 * Minute, 3, -0.2); // 3, 2, 1 MB
    const FillForecast f = forecast(Start + 10 * Minute, 4294967295u, 0, 0);
    EXPECT_EQ(f.towardsLevel, 1); // a 32-bit signed comparison would see -1
    EXPECT_EQ(f.minutes, 2147483647);
}

TEST_F(FillEstimateTest, NoEstimateWithoutAFallOverThirtySecondsOfTheWindow) {
    struct Samples {
        std::vector<std::uint64_t> agesMs;
        std::vector<std::uint32_t> freeMb;
        bool known;
    };
    const Samples cases[] = {
        {{60000, 30000, 0}, {100, 200, 300}, false}, // rising
        {{60000, 30000, 0}, {300, 300, 300}, false}, // flat
        {{60000, 30000, 0}, {300, 200, 100}, true},   {{30000, 0}, {300, 100}, false},
        {{29999, 10000, 0}, {300, 200, 100}, false},  {{30000, 15000, 0}, {300, 200, 100}, true},
        {{600001, 15000, 0}, {300, 200, 100}, false}, // the oldest just left the window
        {{600000, 15000, 0}, {300, 200, 100}, true},
    };
    for (const Samples& c : cases) {
        reset();
        for (std::size_t i = 0; i < c.agesMs.size(); ++i) {
            addSample(Start - c.agesMs[i], c.freeMb[i]);
        }
        EXPECT_EQ(forecast(Start, 100, 0, 0).known, c.known) << c.agesMs[0];
    }
}

TEST_F(FillEstimateTest, NoiseAroundAFallStaysNearItsSlope) {
    std::uint32_t seed = 1;
    for (std::uint64_t t = Start; t <= Start + 10 * Minute; t += 1000) {
        seed = seed * 1103515245u + 12345u;
        const double noise = static_cast<int>(seed >> 16) % 41 - 20; // -20..20 MB
        addSample(t, static_cast<std::uint32_t>(50000 - 20.5 * (t - Start) / Minute + noise));
    }
    EXPECT_NEAR(forecast(Start + 10 * Minute, 30000, 0, 0).mbPerMinute, -20.5, 1.0);
}

// Freed space shows as a rise that lifts the fitted slope while the jump is inside the
// window: a large one hides the estimate, a small one only flattens it; ten minutes on the
// steady fall is back.
TEST_F(FillEstimateTest, DeletedFileLiftsTheSlopeUntilItLeavesTheWindow) {
    for (const std::uint32_t jumpMb : {2000u, 20u}) {
        reset();
        const std::uint32_t low = tickLine(Start, Start + 5 * Minute - 1000, 1000, 10000, -12);
        tickLine(Start + 5 * Minute, Start + 6 * Minute, 1000, low + jumpMb, -12);
        const FillForecast soon = forecast(Start + 6 * Minute, 5000, 0, 0);
        EXPECT_EQ(soon.known, jumpMb < 1000) << jumpMb;
        EXPECT_GT(soon.mbPerMinute, -12) << jumpMb;
        tickLine(Start + 6 * Minute, Start + 15 * Minute, 1000, low + jumpMb - 12, -12);
        EXPECT_NEAR(forecast(Start + 15 * Minute, 5000, 0, 0).mbPerMinute, -12, 1e-9);
    }
}

TEST_F(FillEstimateTest, FallOlderThanTheWindowNoLongerCounts) {
    const std::uint32_t low = tickLine(Start, Start + 5 * Minute, 1000, 10000, -100);
    tickLine(Start + 6 * Minute, Start + 15 * Minute, Minute, low, 0); // few samples, flat
    EXPECT_TRUE(forecast(Start + 14 * Minute, low, 0, 0).known);       // 4:00 to 5:00 still in
    EXPECT_FALSE(forecast(Start + 15 * Minute, low, 0, 0).known);
}

TEST_F(FillEstimateTest, FastTicksKeepOneSampleEveryFiveSeconds) {
    // Were every 10 ms tick kept, the ring would span 1.2 s and give no estimate.
    std::uint32_t freeMb = tickLine(Start, Start + Minute, 10, 10000, -12);
    EXPECT_NEAR(forecast(Start + Minute, freeMb, 0, 0).mbPerMinute, -12, 1e-9);
    freeMb = tickLine(Start + 2 * Minute, Start + 10 * Minute, Minute, freeMb - 12, -12);
    EXPECT_NEAR(forecast(Start + 10 * Minute, freeMb, 0, 0).mbPerMinute, -12, 1e-9);
}

TEST_F(FillEstimateTest, FullRingHoldsTheWholeWindowAfterHoursOfWrapping) {
    const std::uint64_t fallFrom = Start + 300 * Minute;
    const std::uint32_t top = tickLine(Start, fallFrom, 1000, 1000, 5); // 3600 samples, rising
    tickLine(fallFrom + 5000, fallFrom + 10 * Minute, 1000, top - 100, 0);
    // Only the rise's last sample, exactly ten minutes old, lies above the flat rest.
    EXPECT_LT(forecast(fallFrom + 10 * Minute, 100, 0, 0).mbPerMinute, 0);
    reset();
    EXPECT_FALSE(forecast(fallFrom + 10 * Minute, 100, 0, 0).known);
}

TEST_F(FillEstimateTest, ClockGoingBackDropsTheHistory) {
    tickLine(Start, Start + 10 * Minute, 1000, 10000, -20);
    tickLine(Start - Minute, Start, 1000, 100, 0);
    EXPECT_FALSE(forecast(Start, 100, 0, 0).known);
}

TEST(FillEstimateFormatRate, OneDecimalRoundedHalfAwayFromZero) {
    const std::pair<double, const char*> cases[] = {
        {-20.5, "-20.5"},     {-0.25, "-0.3"}, {-1.75, "-1.8"}, {-99.96, "-100.0"},
        {-1234.0, "-1234.0"}, {2.25, "2.3"},   {-0.04, "0.0"}, // zero is shown unsigned
        {-0.0, "0.0"},        {0.0, "0.0"},
    };
    for (const auto& [rate, text] : cases) {
        char out[16];
        EXPECT_EQ(formatRate(rate, out, sizeof out), static_cast<int>(std::strlen(text)));
        EXPECT_STREQ(out, text) << rate;
    }
}

TEST(FillEstimateFormatRate, NeverWritesPastTheBufferAndAlwaysTerminates) {
    const std::pair<int, const char*> cases[] = {{0, ""}, {1, ""}, {3, "-2"}, {6, "-20.5"}};
    for (const auto& [size, text] : cases) {
        char out[8];
        std::memset(out, 'Z', sizeof out);
        EXPECT_EQ(formatRate(-20.5, out, size), static_cast<int>(std::strlen(text)));
        EXPECT_EQ(std::string(out, sizeof out),
                  (size > 0 ? std::string(text) + '\0' : "") + std::string(8 - size, 'Z'))
            << size;
    }
}

} // namespace
