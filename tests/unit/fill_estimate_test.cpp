#include "monitor/fill_estimate.h"
#include "monitor/monotonic_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using namespace FillEstimate;

constexpr std::uint64_t Start = 5000000000, Minute = 60000; // some 58 days of uptime

// Ticks every `stepMs` over [fromMs, toMs] along a line, +-`noiseMb`; returns its last value.
std::uint32_t tickLine(std::uint64_t fromMs, std::uint64_t toMs, std::uint64_t stepMs,
                       double startMb, double mbPerMinute, int noiseMb = 0) {
    std::uint32_t freeMb = 0, seed = 1;
    for (std::uint64_t t = fromMs; t <= toMs; t += stepMs) {
        seed = seed * 1103515245u + 12345u;
        const int noise = static_cast<int>(seed >> 16) % (2 * noiseMb + 1) - noiseMb;
        freeMb = static_cast<std::uint32_t>(startMb + mbPerMinute * (t - fromMs) / Minute + 0.5);
        addSample(t, freeMb + noise);
    }
    return freeMb;
}

TEST(FillEstimate, SteadyFallCountsDownToLevelOneThenLevelTwo) {
    reset();
    tickLine(Start, Start + 10 * Minute, 2 * Minute, 20000, -1.5);
    // Half up from 0.7, 1.3 and 2666.7 minutes.
    const std::tuple<std::uint32_t, int, std::int32_t> rows[] = {
        {5001, 1, 1}, {5002, 1, 1}, {5000, 2, 2667}, {1000, 2, 0}, {0, 2, 0}};
    for (const auto& [freeMb, level, minutes] : rows) {
        const FillForecast f = forecast(Start + 10 * Minute, freeMb, 5000, 1000);
        EXPECT_TRUE(f.known && f.mbPerMinute == -1.5 && f.towardsLevel == level) << freeMb;
        EXPECT_EQ(f.minutes, minutes) << freeMb;
    }
    // A week at this rate is 15120 MB; the most free space there is would take 5000 years.
    EXPECT_TRUE(forecast(Start + 10 * Minute, 5000 + 15120, 5000, 1000).known);
    EXPECT_FALSE(forecast(Start + 10 * Minute, 5000 + 15121, 5000, 1000).known);
    EXPECT_FALSE(forecast(Start + 10 * Minute, 4294967295u, 5000, 1000).known);
}

TEST(FillEstimate, NoEstimateFromAMegabytesWobbleNorFromAnotherDrivesSamples) {
    reset();
    followDrive("D:\\");
    // 1000 and 999 MB by turns, then a step down by one: no fall worth a forecast.
    for (std::uint64_t t = 0; t <= 10 * Minute; t += 5000) {
        addSample(Start + t, (t / 5000) % 2 == 0 || t > 5 * Minute ? 999 : 1000);
    }
    EXPECT_FALSE(forecast(Start + 10 * Minute, 999, 500, 100).known);
    tickLine(Start + 10 * Minute, Start + 20 * Minute, 5000, 999, -0.25);
    EXPECT_TRUE(forecast(Start + 20 * Minute, 996, 500, 100).known) << "2.5 MB in 10 minutes";
    followDrive("D:\\");
    EXPECT_TRUE(forecast(Start + 20 * Minute, 996, 500, 100).known) << "the same drive";
    followDrive("E:\\");
    EXPECT_FALSE(forecast(Start + 20 * Minute, 996, 500, 100).known) << "the new drive's own";
}

TEST(FillEstimate, NoEstimateWithoutAFallOfThreeSamplesOverThirtySecondsOfTheWindow) {
    // Ages in ms and free MB of three samples; one at the same time as the last is not kept.
    const std::uint64_t cases[][7] = {
        {60000, 30000, 0, 100, 200, 300, 0}, {60000, 30000, 0, 300, 300, 300, 0},
        {30000, 0, 0, 300, 100, 50, 0},      {29999, 10000, 0, 300, 200, 100, 0},
        {30000, 15000, 0, 300, 200, 100, 1}, {600001, 15000, 0, 300, 200, 100, 0},
        {600000, 15000, 0, 300, 200, 100, 1}};
    for (const auto& c : cases) {
        reset();
        for (int i = 0; i < 3; ++i) {
            addSample(Start - c[i], static_cast<std::uint32_t>(c[3 + i]));
        }
        EXPECT_EQ(forecast(Start, 100, 0, 0).known, c[6] != 0) << c[0] << " " << c[3];
    }
}

TEST(FillEstimate, NoiseBarelyMovesTheSlopeAndAJumpUpStartsTheWindowAfresh) {
    reset();
    tickLine(Start, Start + 10 * Minute, 1000, 50000, -20.5, 1);
    EXPECT_NEAR(forecast(Start + 10 * Minute, 100, 0, 0).mbPerMinute, -20.5, 1.0);
    reset();
    const std::uint32_t low = tickLine(Start, Start + 5 * Minute - 1000, 1000, 10000, -12);
    tickLine(Start + 5 * Minute, Start + 6 * Minute, 1000, low + 20, -12);
    const FillForecast soon = forecast(Start + 6 * Minute, 5000, 0, 0);
    EXPECT_TRUE(soon.known) << "a deletion";
    EXPECT_NEAR(soon.mbPerMinute, -12, 1e-9) << "nothing from before the deletion";
    tickLine(Start + 6 * Minute, Start + 15 * Minute, 1000, low + 8, -12);
    EXPECT_NEAR(forecast(Start + 15 * Minute, 100, 0, 0).mbPerMinute, -12, 1e-9);
}

TEST(FillEstimate, KeepsOneSampleEveryFiveSecondsInAFullRingUntilTheClockGoesBack) {
    reset();
    // Only the fast ticks 5 s apart lie on the fall: keeping any other one bends the slope.
    for (std::uint64_t t = 0; t <= Minute; t += 10) {
        addSample(Start + t, t % 5000 == 0 ? static_cast<std::uint32_t>(10000 - t / 5000) : 0);
    }
    EXPECT_NEAR(forecast(Start + Minute, 100, 0, 0).mbPerMinute, -12, 1e-9);
    tickLine(Start + 2 * Minute, Start + 14 * Minute, Minute, 9976, -12);
    EXPECT_NEAR(forecast(Start + 14 * Minute, 100, 0, 0).mbPerMinute, -12, 1e-9);
    // Hours on, only the rise's last sample, exactly ten minutes old, lies above the rest.
    const std::uint64_t fallFrom = Start + 300 * Minute;
    const std::uint32_t top = tickLine(Start + 15 * Minute, fallFrom, 1000, 1000, 5);
    tickLine(fallFrom + 5000, fallFrom + 10 * Minute, 1000, top - 100, 0);
    EXPECT_LT(forecast(fallFrom + 10 * Minute, 100, 0, 0).mbPerMinute, 0);
    tickLine(Start, Start + Minute, 1000, 5000, -12); // the clock went back
    EXPECT_NEAR(forecast(Start + Minute, 100, 0, 0).mbPerMinute, -12, 1e-9);
}

TEST(FillEstimate, FormatRateRoundsHalfAwayFromZeroWithinItsBuffer) {
    const std::tuple<double, int, std::string> cases[] = {
        {-20.5, 16, "-20.5"}, {-0.25, 16, "-0.3"}, {-1.75, 16, "-1.8"},      {-99.96, 16, "-100.0"},
        {2.25, 16, "2.3"},    {-0.04, 16, "0.0"},  {-1234.0, 16, "-1234.0"}, {-0.0, 16, "0.0"},
        {-20.5, 6, "-20.5"},  {-20.5, 3, "-2"},    {-20.5, 1, ""},           {-20.5, 0, ""}};
    for (const auto& [rate, size, text] : cases) {
        std::string out(16, 'Z');
        EXPECT_EQ(formatRate(rate, out.data(), size), static_cast<int>(text.size()));
        const std::string written = size > 0 ? text + '\0' : "";
        EXPECT_EQ(out, written + std::string(16 - written.size(), 'Z')) << rate << " " << size;
    }
}

// The platform's 32-bit count wraps every 49.7 days; the clock made of it goes on.
TEST(MonotonicClockTest, CountsTheTickCountsWraps) {
    MonotonicClock::reset();
    const std::pair<std::uint32_t, std::uint64_t> reads[] = {
        {4294960000u, 4294960000u}, {4294967295u, 4294967295u},
        {0, 4294967296u},           {5000, 4294972296u},
        {5000, 4294972296u},        {4294967295u, 8589934591u},
        {1, 8589934593u},           {0, 8589934592u}}; // no wrap
    for (const auto& [count, ms] : reads) {
        EXPECT_EQ(MonotonicClock::extend(count), ms) << count;
    }
}

} // namespace
