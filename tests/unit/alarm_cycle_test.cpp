#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

WindowHandle const mainWindow = reinterpret_cast<WindowHandle>(0x1234);
constexpr TimerId timerId = 1;

class AlarmCycleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.ClassName, "RecorderMainWnd");
        std::strcpy(settings.WindowName, "Recorder");
        std::strcpy(settings.DriveLetter, "D:\\");
        settings.level1 = 500;
        settings.level2 = 100;
        settings.frequency = 800;
        settings.key = 82;
        settings.CloseTarget = 1;
        settings.ShutDownPC = 1;
        alarmState = AlarmState{};
        driveFailureReported = false;
    }

    static void openTarget() { fake::windows.push_back({"RecorderMainWnd", "Recorder"}); }

    Calls tickAt(std::uint32_t freeMegabytes) {
        fake::calls.clear();
        fake::freeMegabytes = freeMegabytes;
        tick(mainWindow, timerId);
        return fake::calls;
    }
};

using fake::countCalls;
using fake::shutdownCalls;

TEST_F(AlarmCycleTest, NormalTickLooksUpMeasuresOnceAndRepaints) {
    EXPECT_EQ(tickAt(501), (Calls{"FindWindowA RecorderMainWnd|Recorder", "GetDiskFreeSpaceA D:\\",
                                  "InvalidateRect"}));
    EXPECT_FALSE(alarmState.belowLevel1);
    EXPECT_FALSE(alarmState.targetPresent);
}

TEST_F(AlarmCycleTest, FirstAlarmTickWithTargetRunsEveryStepInOrder) {
    openTarget();
    Calls expected = {"FindWindowA RecorderMainWnd|Recorder",
                      "GetDiskFreeSpaceA D:\\",
                      "Beep 800 256",
                      "InvalidateRect",
                      "FindWindowA RecorderMainWnd|Recorder",
                      "SetForegroundWindow Recorder",
                      "SendMessageA Recorder WM_KEYDOWN 82 0",
                      "SendMessageA Recorder WM_KEYUP 82 0",
                      "GetDiskFreeSpaceA D:\\",
                      "FindWindowA RecorderMainWnd|Recorder",
                      "SendMessageA Recorder WM_CLOSE 0 0"};
    expected.insert(expected.end(), shutdownCalls.begin(), shutdownCalls.end());
    EXPECT_EQ(tickAt(100), expected);
    EXPECT_TRUE(alarmState.belowLevel1);
    EXPECT_TRUE(alarmState.keyLatch);
    EXPECT_TRUE(alarmState.targetPresent);
}

TEST_F(AlarmCycleTest, LevelOneBoundaryIsInclusive) {
    settings.level2 = -1000;
    tickAt(500);
    EXPECT_TRUE(alarmState.belowLevel1);
    tickAt(501);
    EXPECT_FALSE(alarmState.belowLevel1);
}

TEST_F(AlarmCycleTest, SecondMeasurementDecidesLevelTwo) {
    openTarget();
    // First reading is below level 1; the second, taken after the key press, decides.
    fake::freeScript = {300, 101};
    Calls calls = tickAt(0);
    EXPECT_EQ(countCalls(calls, "GetDiskFreeSpaceA"), 2);
    EXPECT_EQ(countCalls(calls, "SendMessageA Recorder WM_CLOSE"), 0);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 0);

    fake::freeScript = {300, 100};
    calls = tickAt(0);
    EXPECT_EQ(countCalls(calls, "SendMessageA Recorder WM_CLOSE"), 1);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 1);
}

TEST_F(AlarmCycleTest, KeyIsPressedOnceDownAndOnceUpPerExcursion) {
    openTarget();
    settings.CloseTarget = 0;
    settings.ShutDownPC = 0;
    long downPresses = 0;
    for (std::uint32_t free : {400u, 300u, 200u}) {
        downPresses += countCalls(tickAt(free), "SendMessageA Recorder WM_KEYDOWN");
    }
    EXPECT_EQ(downPresses, 1);
    Calls recovery = tickAt(600);
    EXPECT_EQ(countCalls(recovery, "SendMessageA Recorder WM_KEYDOWN 82"), 1);
    EXPECT_EQ(countCalls(recovery, "SendMessageA Recorder WM_KEYUP 82"), 1);
    EXPECT_FALSE(alarmState.keyLatch);
    EXPECT_EQ(countCalls(tickAt(700), "SendMessageA"), 0) << "no press while already normal";

    // A second excursion latches again.
    EXPECT_EQ(countCalls(tickAt(400), "SendMessageA Recorder WM_KEYDOWN"), 1);
}

TEST_F(AlarmCycleTest, KeyZeroNeverPressesButStillLatches) {
    openTarget();
    settings.key = 0;
    settings.CloseTarget = 0;
    settings.ShutDownPC = 0;
    EXPECT_EQ(countCalls(tickAt(400), "SendMessageA"), 0);
    EXPECT_TRUE(alarmState.keyLatch);
    EXPECT_EQ(countCalls(tickAt(600), "SendMessageA"), 0);
    EXPECT_FALSE(alarmState.keyLatch);
}

TEST_F(AlarmCycleTest, AbsentTargetBeepsEveryTickAndNothingElse) {
    for (std::uint32_t free : {400u, 50u, 0u}) {
        const Calls calls = tickAt(free);
        EXPECT_EQ(calls, (Calls{"FindWindowA RecorderMainWnd|Recorder", "GetDiskFreeSpaceA D:\\",
                                "Beep 800 256", "InvalidateRect"}))
            << "free " << free;
        EXPECT_FALSE(alarmState.keyLatch);
    }
}

TEST_F(AlarmCycleTest, TargetAppearingMidExcursionGetsTheKeyOnItsFirstTick) {
    settings.CloseTarget = 0;
    settings.ShutDownPC = 0;
    EXPECT_EQ(countCalls(tickAt(400), "SendMessageA"), 0);
    openTarget();
    EXPECT_EQ(countCalls(tickAt(400), "SendMessageA Recorder WM_KEYDOWN"), 1);
    EXPECT_EQ(countCalls(tickAt(400), "SendMessageA Recorder WM_KEYDOWN"), 0);
}

TEST_F(AlarmCycleTest, LevelTwoRepeatsEveryTickCloseBeforeShutdown) {
    openTarget();
    for (int i = 0; i < 3; ++i) {
        const Calls calls = tickAt(50);
        const auto close =
            std::find(calls.begin(), calls.end(), "SendMessageA Recorder WM_CLOSE 0 0");
        const auto shutdown = std::find(calls.begin(), calls.end(), "ExitWindowsEx");
        ASSERT_NE(close, calls.end());
        ASSERT_NE(shutdown, calls.end());
        EXPECT_LT(close, shutdown);
    }
}

TEST_F(AlarmCycleTest, LevelTwoAboveLevelOneWaitsForLevelOne) {
    openTarget();
    settings.level1 = 100;
    settings.level2 = 500;
    const Calls calls = tickAt(300);
    EXPECT_EQ(calls, (Calls{"FindWindowA RecorderMainWnd|Recorder", "GetDiskFreeSpaceA D:\\",
                            "InvalidateRect"}));
}

TEST_F(AlarmCycleTest, RecoveryAfterTheTargetWasClosedPressesIntoNothing) {
    openTarget();
    tickAt(50);
    fake::windows.clear();
    const Calls calls = tickAt(600);
    EXPECT_EQ(countCalls(calls, "SetForegroundWindow none"), 1);
    EXPECT_EQ(countCalls(calls, "SendMessageA none WM_KEYDOWN 82"), 1);
    EXPECT_FALSE(alarmState.targetPresent);
}

TEST_F(AlarmCycleTest, FrequencyZeroNeverBeeps) {
    settings.frequency = 0;
    EXPECT_EQ(countCalls(tickAt(0), "Beep"), 0);
}

TEST_F(AlarmCycleTest, HugeFreeSpaceIsNeverAnAlarm) {
    settings.level1 = 2000000000;
    for (std::uint32_t free : {2147483648u, 3000000000u, 4294967295u}) {
        tickAt(free);
        EXPECT_FALSE(alarmState.belowLevel1) << free;
    }
}

TEST_F(AlarmCycleTest, NegativeLevelOneMeansNoAlarmEvenOnAFullDrive) {
    settings.level1 = -1;
    tickAt(0);
    EXPECT_FALSE(alarmState.belowLevel1);
}

TEST_F(AlarmCycleTest, FailedMeasurementWarnsOnceAndEndsTheProgramOnce) {
    openTarget();
    fake::driveFails = true;
    const Calls first = tickAt(0);
    EXPECT_EQ(first,
              (Calls{"FindWindowA RecorderMainWnd|Recorder", "GetDiskFreeSpaceA D:\\",
                     "KillTimer 1", "MessageBoxA drive warning", "SendMessageA WM_DESTROY"}));
    // Later measurements (a repaint under the box, a late tick) stay silent.
    const Calls second = tickAt(0);
    EXPECT_EQ(second, (Calls{"FindWindowA RecorderMainWnd|Recorder", "GetDiskFreeSpaceA D:\\"}));
    EXPECT_FALSE(FreeSpaceProbe(mainWindow, timerId).valid);
    EXPECT_EQ(countCalls(fake::calls, "MessageBoxA"), 0);
}

TEST_F(AlarmCycleTest, FailureBeforeTheTimerExistsStopsNoTimer) {
    fake::driveFails = true;
    fake::calls.clear();
    EXPECT_FALSE(FreeSpaceProbe(mainWindow, 0).valid);
    EXPECT_EQ(fake::calls, (Calls{"GetDiskFreeSpaceA D:\\", "MessageBoxA drive warning",
                                  "SendMessageA WM_DESTROY"}));
}

TEST_F(AlarmCycleTest, FailedSecondMeasurementTakesNoLevelTwoAction) {
    openTarget();
    // The drive vanishes between the two readings of one tick.
    fake::onCall[7] = [] { fake::driveFails = true; };
    const Calls calls = tickAt(0);
    EXPECT_EQ(countCalls(calls, "MessageBoxA"), 1);
    EXPECT_EQ(countCalls(calls, "SendMessageA Recorder WM_CLOSE"), 0);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 0);
}

TEST(FreeSpaceMathTest, MegabytesFromClusters) {
    const struct {
        std::uint32_t sectors, bytes, clusters, megabytes;
    } cases[] = {
        {8, 512, 128000, 500},                    // 4 KiB clusters
        {8, 512, 127999, 499},                    // remainder discarded
        {1, 4096, 0, 0},                          //
        {32768, 65536, 0xFFFFFFFFu, 0xFFFFFFFFu}, // about 2^43 MB: saturates
        {256, 4096, 4294967295u, 4294967295u},    // exactly the largest count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(megabytesFromClusters(c.sectors, c.bytes, c.clusters), c.megabytes)
            << c.sectors << "x" << c.bytes << "x" << c.clusters;
    }
}

TEST(FreeSpaceMathTest, ComparisonIsExact) {
    EXPECT_TRUE(isAboveLevel(501, 500));
    EXPECT_FALSE(isAboveLevel(500, 500));
    EXPECT_TRUE(isAboveLevel(0, -1));
    EXPECT_FALSE(isAboveLevel(0, 0));
    EXPECT_TRUE(isAboveLevel(2147483647u, 2147483646));
    EXPECT_TRUE(isAboveLevel(2147483648u, 2147483647));
    EXPECT_TRUE(isAboveLevel(4294967295u, INT32_MAX));
    EXPECT_TRUE(isAboveLevel(4294967295u, INT32_MIN));
}

} // namespace
