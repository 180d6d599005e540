#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "monitor/fill_estimate.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "ui/tray_menu.h"
#include "ui/tray_text.h"

namespace {

using Calls = std::vector<std::string>;
constexpr std::uint32_t MostFree = 4294967295u;
constexpr std::int32_t Largest = 2147483647, Smallest = -Largest - 1;
constexpr Transition Alarm = Transition::Alarm, LevelTwo = Transition::LevelTwo,
                     Recover = Transition::Recover;
const FillForecast Unknown{false, 0, 0, 0}, In12{true, -4.2, 12, 2}, Past{true, -9, -1, 2};

class TrayAnnounceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.DriveLetter, "D:\\");
        settings.level1 = 1000;
        settings.level2 = 100;
        FillEstimate::reset();
        build();
    }
    static Calls build() {
        fakeui::reset();
        TrayMenu::build(reinterpret_cast<WindowHandle>(0x1234));
        return std::exchange(fake::calls, {});
    }
    static std::string reAdded() {
        fake::calls.clear();
        TrayMenu::onTaskbarCreated();
        return fake::calls.at(0);
    }
    static std::string balloon(Transition transition, std::uint32_t freeMb, FillForecast forecast) {
        char text[TrayText::BalloonSize];
        TrayText::balloon(transition, {freeMb, false, forecast}, settings, text);
        return text;
    }
    static std::string tip(std::uint32_t freeMb, FillForecast forecast, bool dryRun) {
        char text[TrayText::TipSize];
        TrayText::estimateTip(freeMb, forecast, dryRun, text);
        return text;
    }
};

TEST_F(TrayAnnounceTest, WithTheKeysAbsentNothingIsShownOrRegistered) {
    EXPECT_EQ(build().back(), "Shell_NotifyIconA NIM_ADD");
    EXPECT_EQ(TrayMenu::taskbarCreatedMessage(), 0u);
    for (Transition transition : {Alarm, LevelTwo, Recover}) {
        TrayMenu::announce(transition, {50, true, In12});
    }
    TrayMenu::refreshTip(60000, {50, true, Unknown});
    EXPECT_EQ(fake::calls, Calls{});
}

TEST_F(TrayAnnounceTest, EachTransitionHasItsBalloon) {
    const struct {
        Transition transition;
        FillForecast forecast;
        const char* expected;
    } cases[] = {
        {Alarm, Unknown, "warning D: 9 MB free, level 1 is 1000 MB"},
        {Alarm, In12, "warning D: 9 MB free, level 1 is 1000 MB, level 2 in about 12 min"},
        {Alarm, Past, "warning D: 9 MB free, level 1 is 1000 MB"},
        {LevelTwo, In12, "error D: 9 MB free, level 2 is 100 MB"},
        {Recover, In12, "info D: 9 MB free again"},
    };
    settings.ShowBalloons = 1;
    for (const auto& c : cases) {
        fake::calls.clear();
        TrayMenu::announce(c.transition, {9, true, c.forecast});
        EXPECT_EQ(fake::calls,
                  Calls{std::string("Shell_NotifyIconA NIM_MODIFY balloon ") + c.expected});
    }
}

TEST_F(TrayAnnounceTest, LevelTwoBalloonTellsWhatTheShutdownDoes) {
    const struct {
        std::int32_t shutDown, dryRun, delay;
        const char* outcome;
    } cases[] = {{0, 1, 30, ""},
                 {1, 1, 30, "; dry run, no shutdown"},
                 {1, 0, 30, "; shutdown in up to 30 s"},
                 {1, 0, 0, "; shutting down"},
                 {1, 0, -5, "; shutting down"}};
    for (const auto& c : cases) {
        settings.ShutDownPC = c.shutDown;
        settings.DryRun = c.dryRun;
        settings.ShutdownDelay = c.delay;
        EXPECT_EQ(balloon(LevelTwo, 9, Unknown),
                  std::string("D: 9 MB free, level 2 is 100 MB") + c.outcome);
    }
}

TEST_F(TrayAnnounceTest, BalloonsNameTheDriveAndHoldTheLargestNumbers) {
    settings.CloseTarget = 0x585858; // "XXX" right after the name, should it be over-read
    const char* const drives[][2] = {
        {"e:\\data", "e:"}, {"D", "D"}, {"\\\\nas\\r\\", "\\\\nas\\r"}, {"ABCDEFGH", "ABCDEFGH"}};
    for (const auto& drive : drives) {
        std::memcpy(settings.DriveLetter, drive[0],
                    std::min<std::size_t>(std::strlen(drive[0]) + 1, 8));
        EXPECT_EQ(balloon(Recover, 1, Unknown), std::string(drive[1]) + " 1 MB free again");
    }
    std::strcpy(settings.DriveLetter, "\\\\nas\\r\\");
    settings.level1 = Smallest;
    settings.level2 = Largest;
    settings.ShutDownPC = 1;
    settings.ShutdownDelay = Largest;
    EXPECT_EQ(balloon(Alarm, MostFree, {true, -1, Largest, 2}),
              "\\\\nas\\r 4294967295 MB free, level 1 is -2147483648 MB, level 2 in about "
              "2147483647 min");
    EXPECT_EQ(balloon(LevelTwo, MostFree, Unknown),
              "\\\\nas\\r 4294967295 MB free, level 2 is 2147483647 MB; shutdown in up to "
              "2147483647 s");
}

TEST_F(TrayAnnounceTest, TipFitsItsFieldByDroppingAnEstimateTooLongForIt) {
    EXPECT_EQ(tip(50, Past, true), "Zembrovale 0.7: 50 MB (dry run)");
    EXPECT_EQ(tip(MostFree, {true, -1, Largest, 1}, false),
              "Zembrovale 0.7: 4294967295 MB, level 1 in ~2147483647 min");
    // 63 characters, the most szTip holds; one more digit and the estimate goes.
    EXPECT_EQ(tip(MostFree, {true, -1, 999999, 2}, true),
              "Zembrovale 0.7: 4294967295 MB, level 2 in ~999999 min (dry run)");
    EXPECT_EQ(tip(MostFree, {true, -1, 1000000, 2}, true),
              "Zembrovale 0.7: 4294967295 MB (dry run)");
}

TEST_F(TrayAnnounceTest, TipChangesAtMostEvery10SecondsAndOnlyWhenItsTextDoes) {
    settings.ShowEstimate = 1;
    const struct {
        std::uint64_t nowMs;
        std::uint32_t freeMb;
        const char* shown; // nullptr: left as it is
    } steps[] = {{3000, 4990, "4990"},  {8000, 4000, nullptr},  {12999, 4000, nullptr},
                 {13000, 4000, "4000"}, {30000, 4000, nullptr}, {35000, 3999, nullptr},
                 {40000, 3999, "3999"}};
    for (const auto& step : steps) {
        fake::calls.clear();
        TrayMenu::refreshTip(step.nowMs, {step.freeMb, true, Unknown});
        const std::string line = std::string("Shell_NotifyIconA NIM_MODIFY tip Zembrovale 0.7: ") +
                                 (step.shown ? step.shown : "") + " MB";
        EXPECT_EQ(fake::calls, step.shown ? Calls{line} : Calls{}) << step.nowMs;
    }
}

TEST_F(TrayAnnounceTest, KeptIconIsAddedAgainWithItsCurrentTip) {
    settings.KeepTrayIcon = 1;
    settings.DryRun = 1;
    const Calls calls = build();
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()),
              (Calls{"Shell_NotifyIconA NIM_ADD", "RegisterWindowMessageA TaskbarCreated"}));
    EXPECT_EQ(reAdded(), "Shell_NotifyIconA NIM_ADD again Zembrovale 0.7 (dry run)");
    settings.ShowEstimate = 1;
    TrayMenu::refreshTip(0, {700, true, Unknown});
    EXPECT_EQ(reAdded(), "Shell_NotifyIconA NIM_ADD again Zembrovale 0.7: 700 MB (dry run)");
    // Read at start only: the Options dialog's re-read changes nothing.
    settings.KeepTrayIcon = 0;
    EXPECT_EQ(TrayMenu::taskbarCreatedMessage(), 0xC123u);
}

} // namespace
