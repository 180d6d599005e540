#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
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
using T = Transition;
constexpr std::int32_t Largest = 2147483647;
const FillForecast Unknown{false, 0, 0, 0}, In12{true, -4.2, 12, 2}, Past{true, -9, -1, 2};
const std::string Balloon = "Shell_NotifyIconA NIM_MODIFY balloon ";

class TrayAnnounceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.DriveLetter, "D:\\data"); // named by its letter and colon alone
        settings.level1 = 1000;
        settings.level2 = 100;
        build();
    }
    static Calls build() {
        fakeui::reset();
        FillEstimate::reset();
        TrayMenu::build(reinterpret_cast<WindowHandle>(0x1234));
        return std::exchange(fake::calls, {});
    }
};

TEST_F(TrayAnnounceTest, EachTransitionHasItsBalloonAndIconOnlyWithTheKey) {
    const std::tuple<T, FillForecast, int, int, int, const char*, const char*> cases[] = {
        {T::Alarm, Unknown, 0, 0, 0, "warning", ", level 1 is 1000 MB"},
        {T::Alarm, In12, 0, 0, 0, "warning", ", level 1 is 1000 MB, level 2 in about 12 min"},
        {T::Alarm, Past, 0, 0, 0, "warning", ", level 1 is 1000 MB"},
        {T::LevelTwo, In12, 0, 1, 30, "error", ", level 2 is 100 MB"},
        {T::LevelTwo, Unknown, 1, 1, 30, "error", ", level 2 is 100 MB; dry run, no shutdown"},
        {T::LevelTwo, Unknown, 1, 0, 30, "error", ", level 2 is 100 MB; shutdown in up to 30 s"},
        {T::LevelTwo, Unknown, 1, 0, 0, "error", ", level 2 is 100 MB; shutting down"},
        {T::LevelTwo, Unknown, 1, 0, -5, "error", ", level 2 is 100 MB; shutting down"},
        {T::Recover, In12, 1, 0, 30, "info", " again"}};
    for (const auto& [transition, forecast, shutDown, dryRun, delay, icon, tail] : cases) {
        std::tie(settings.ShutDownPC, settings.DryRun, settings.ShutdownDelay) =
            std::tie(shutDown, dryRun, delay);
        fake::calls.clear();
        for (const int key : {0, 1}) { // only the second, with the key, shows
            settings.ShowBalloons = key;
            TrayMenu::announce(transition, {9, true, forecast});
        }
        EXPECT_EQ(fake::calls, Calls{Balloon + icon + " D: 9 MB free" + tail});
    }
}

TEST_F(TrayAnnounceTest, TextsFitTheLargestNumbersAndNeverReadPastTheDriveName) {
    std::memcpy(settings.DriveLetter, "\\\\nas\\r\\", 8); // no room for its zero
    settings.CloseTarget = 0x585858;                      // "XXX", should it be over-read
    settings.level1 = -Largest - 1;
    settings.level2 = settings.ShutdownDelay = Largest;
    settings.ShutDownPC = settings.ShowBalloons = 1;
    TrayMenu::announce(T::Alarm, {4294967295u, true, {true, -1, Largest, 2}});
    TrayMenu::announce(T::LevelTwo, {4294967295u, true, Unknown});
    EXPECT_EQ(fake::calls, (Calls{Balloon + "warning \\\\nas\\r 4294967295 MB free, level 1 is "
                                            "-2147483648 MB, level 2 in about 2147483647 min",
                                  Balloon + "error \\\\nas\\r 4294967295 MB free, level 2 is "
                                            "2147483647 MB; shutdown in up to 2147483647 s"}));
    // 63 characters, the most the tip holds; one more digit and the estimate goes.
    const std::pair<FillForecast, const char*> tips[] = {
        {{true, -1, 999999, 2}, "Zembrovale 0.7: 4294967295 MB, level 2 in ~999999 min (dry run)"},
        {{true, -1, 1000000, 2}, "Zembrovale 0.7: 4294967295 MB (dry run)"},
        {Past, "Zembrovale 0.7: 4294967295 MB (dry run)"}};
    for (const auto& [forecast, shown] : tips) {
        char text[TrayText::TipSize];
        TrayText::estimateTip(4294967295u, forecast, true, text);
        EXPECT_STREQ(text, shown);
    }
}

TEST_F(TrayAnnounceTest, WithItsKeysTheTipChangesAtMostEvery10SecondsAndTheKeptIconReturnsWithIt) {
    EXPECT_EQ(build().back(), "Shell_NotifyIconA NIM_ADD"); // without the keys
    EXPECT_EQ(TrayMenu::taskbarCreatedMessage(), 0u);
    TrayMenu::refreshTip(60000, {50, true, Unknown});
    EXPECT_EQ(fake::calls, Calls{});
    settings.KeepTrayIcon = settings.DryRun = settings.ShowEstimate = 1;
    EXPECT_EQ(build().back(), "ChangeWindowMessageFilterEx 49443") << "heard when elevated too";
    EXPECT_EQ(TrayMenu::taskbarCreatedMessage(), 0xC123u);
    const std::string again = "Shell_NotifyIconA NIM_ADD again Zembrovale 0.7";
    TrayMenu::onTaskbarCreated();
    EXPECT_EQ(fake::calls, Calls{again + " (dry run)"});
    const std::tuple<std::uint64_t, std::uint32_t, bool> steps[] = {
        {3000, 4990, true},   {12999, 4000, false}, {13000, 4000, true},
        {30000, 4000, false}, {35000, 3999, false}, {40000, 3999, true}};
    for (const auto& [nowMs, freeMb, changes] : steps) {
        fake::calls.clear();
        TrayMenu::refreshTip(nowMs, {freeMb, true, Unknown});
        const Calls shown{"Shell_NotifyIconA NIM_MODIFY tip Zembrovale 0.7: " +
                          std::to_string(freeMb) + " MB (dry run)"};
        EXPECT_EQ(fake::calls, changes ? shown : Calls{}) << nowMs;
    }
    fake::calls.clear();
    TrayMenu::onTaskbarCreated();
    EXPECT_EQ(fake::calls, Calls{again + ": 3999 MB (dry run)"});
    // Options re-read a file without DryRun, then one without ShowEstimate either: the tip,
    // and the icon added after a shell restart, follow at once.
    const std::pair<void (*)(), std::string> reloads[] = {
        {[] { settings.DryRun = 0; }, ": 3999 MB"}, {[] { settings.ShowEstimate = 0; }, ""}};
    for (const auto& [reload, shown] : reloads) {
        fakeui::insideOptions = reload;
        fake::calls.clear();
        TrayMenu::onCommand(reinterpret_cast<WindowHandle>(0x1234), CmdOptions, 0);
        EXPECT_EQ(fake::calls.back(), "Shell_NotifyIconA NIM_MODIFY tip Zembrovale 0.7" + shown);
        fake::calls.clear();
        TrayMenu::onTaskbarCreated();
        EXPECT_EQ(fake::calls, Calls{again + shown});
    }
}

} // namespace
