// The two keys for watching the night: what the ticks keep for the History chart, how the
// chart is laid out, and the tray icon that shows the state.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame.h"
#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "monitor/fill_estimate.h"
#include "monitor/free_space.h"
#include "settings/settings.h"
#include "tests/unit/fake_command_platform.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "ui/history_chart.h"
#include "ui/history_view.h"
#include "ui/tray_menu.h"

namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::string>;
using namespace HistoryChart;

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        fakecommand::reset();
        settings = Settings{};
        alarmState = AlarmState{};
        lastTick = TickReport{};
        driveFailureReported = false;
        FillEstimate::reset();
    }

    // The panel's set-up with a rehearsed shutdown at level 2, then the menu and the icon.
    static void start(const std::map<std::string, std::string>& keys) {
        fake::ini = {{"level1", "500"},      {"level2", "100"},   {"ClassName", "Rec"},
                     {"WindowName", "NULL"}, {"key", "82"},       {"DriveLetter", "D:\\"},
                     {"CloseTarget", "1"},   {"ShutDownPC", "1"}, {"DryRun", "1"}};
        fake::ini.insert(keys.begin(), keys.end());
        SettingsFile::load();
        TrayMenu::build(nullptr);
    }

    static Calls tickAt(std::uint32_t freeMegabytes, std::uint64_t secondsLater) {
        fake::calls.clear();
        fake::freeMegabytes = freeMegabytes;
        fake::clockMs += secondsLater * 1000;
        Frame::onTimer(nullptr);
        return fake::calls;
    }

    // In the layout's order: the texts drawn with `draw`, or for Fill the "left-right" of the
    // fills as high as the plot (the excursions).
    static Texts shown(Draw draw) {
        Texts found;
        for (int i = 0; i < layout.count; ++i) {
            const Item& item = layout.items[i];
            if (item.draw == draw && draw != Fill) {
                found.emplace_back(item.text);
            } else if (item.draw == draw && item.box.top == Plot.top &&
                       item.box.bottom == Plot.bottom) {
                found.push_back(std::to_string(item.box.left) + "-" +
                                std::to_string(item.box.right));
            }
        }
        return found;
    }

    static std::string marks() {
        std::string kept;
        for (int i = 0; i < History::marks.count; ++i) {
            kept += std::to_string(History::marks.items[i].second) + ":" +
                    std::to_string(History::marks.items[i].event) + " ";
        }
        return kept;
    }
};

TEST_F(HistoryTest, TicksKeepEachMinutesLowestAndTheirEventsAndRedrawAnOpenChartOnlyForNews) {
    start({});
    tickAt(600, 0);
    EXPECT_EQ(History::samples.count, 0) << "nothing kept without the key";
    start({{"ShowHistory", "1"}, {"OnAlarm", "alarm.bat"}});
    fake::calls.clear();
    TrayMenu::onCommand(nullptr, CmdHistory, 0);
    EXPECT_EQ(fake::calls, Calls{"ShowWindow history"});
    // Seconds later, free megabytes, whether the target exists, the chart redrawn.
    const std::tuple<int, std::uint32_t, bool, bool> steps[] = {
        {5, 600, false, true}, {5, 600, false, false}, {5, 590, false, true}, // 1005-1015 s
        {5, 595, false, true}, {5, 450, true, true},   {5, 50, true, true},   // a new minute
        {5, 40, true, false},  {70, 600, true, false}};                       // closed
    int step = 0;
    for (const auto& [later, freeMb, target, redrawn] : steps) {
        fake::windows.clear();
        if (target) {
            fake::windows.push_back({"Rec", "Recorder"});
        }
        if (++step == 7) {
            HistoryView::closed();
        }
        EXPECT_EQ(fake::countCalls(tickAt(freeMb, later), "InvalidateRect history"), redrawn)
            << "step " << step;
    }
    ASSERT_EQ(History::samples.count, 3);
    EXPECT_EQ(History::samples.items[0].lowestMb, 590u);
    EXPECT_EQ(History::samples.items[1].lowestMb, 40u);
    EXPECT_EQ(History::samples.items[2].minute, 1105u / 60);
    // Alarm 0, level 2 1, recovery 2, key 3, close 4, shutdown (rehearsed) 5, command 6.
    EXPECT_EQ(marks(), "1025:0 1025:3 1025:6 1030:1 1030:4 1030:5 1105:2 1105:3 ");
}

TEST_F(HistoryTest, BuffersDropTheirOldestAndSamplesADayOld) {
    History::start(true);
    for (int i = 0; i < History::EventSlots + 6; ++i) {
        History::record(60000, 1, History::bit(History::Key) * (i < 6 ? 1 : 2));
    }
    EXPECT_EQ(History::marks.count, History::EventSlots);
    EXPECT_EQ(History::marks.items[0].event, History::Close) << "the six keys are gone";
    History::record(1440 * 60000ull, 8, 0);
    EXPECT_EQ(History::samples.count, 2) << "minutes 1 and 1440";
    History::record(1441 * 60000ull, 7, 0);
    EXPECT_EQ(History::samples.count, 2);
    EXPECT_EQ(History::samples.items[0].lowestMb, 8u);
}

TEST_F(HistoryTest, TheMegabyteAxisHasRoundStepsThatHoldBothLevelsAndEverySample) {
    // The levels, a sample, the axis's labels and then the levels' own.
    const std::tuple<std::int32_t, std::int32_t, std::uint32_t, Texts> cases[] = {
        {500, 100, 2048, {"0", "500", "1000", "1500", "2000", "2500", "500 MB", "100 MB"}},
        {500, -20, 7, {"-200", "0", "200", "400", "600", "500 MB", "-20 MB"}},
        {300, 300, 300, {"300", "301", "300 MB", "300 MB"}},
        {2147483647,
         -2147483647 - 1,
         4294967295u, // drawn within a petabyte
         {"-1000000000", "-500000000", "0", "500000000", "1000000000", "2147483647 MB",
          "-2147483648 MB"}}};
    for (const auto& [level1, level2, freeMb, labels] : cases) {
        History::start(true);
        settings.level1 = level1;
        settings.level2 = level2;
        History::record(3600000, freeMb, 0);
        build(3660000, 0);
        EXPECT_EQ(shown(Right), labels) << level1;
    }
}

TEST_F(HistoryTest, TheTimeAxisFallsOnRoundLocalClockTimesAcrossMidnightAndTheDay) {
    // Seconds of samples before now, the local time now, the labels.
    const std::tuple<std::uint32_t, std::uint32_t, Texts> cases[] = {
        {0, 36200, {"09:59", "10:00", "10:01", "10:02", "10:03"}}, // 5 minutes at least
        {750, 150, {"23:50", "23:55", "00:00"}},
        {86340, 36200, {"12:00", "18:00", "00:00", "06:00"}},
        {90000, 36200, {"12:00", "18:00", "00:00", "06:00"}}}; // no more than a day
    for (const auto& [before, local, labels] : cases) {
        History::start(true);
        History::record((200000 - before) * 1000ull, 700, 0);
        build(200000000, local);
        EXPECT_EQ(shown(Centre), labels) << before;
    }
    EXPECT_EQ(layout.points, History::samples.count + 1);
    EXPECT_EQ(layout.curve[layout.points - 1].x, Plot.right) << "held until now";
}

TEST_F(HistoryTest, ExcursionsAreShadedAndTheirActionsMarkedInRowsOfTheirOwn) {
    settings.level1 = 500;
    settings.level2 = 100;
    History::start(true);
    using History::bit;
    // A recovery whose alarm has left the buffer; an excursion with its actions; one still
    // open. From 0 to 1010 s, x is 64 + 0.4 s.
    const std::pair<std::uint32_t, std::uint32_t> events[] = {
        {0, 0},
        {100, bit(History::Recover)},
        {400, bit(History::Alarm) | bit(History::Key) | bit(History::Command)},
        {500, bit(History::LevelTwo) | bit(History::Close) | bit(History::Shutdown)},
        {550, bit(History::Recover) | bit(History::Key)},
        {800, bit(History::Alarm)}};
    for (const auto& [second, bits] : events) {
        History::record(second * 1000ull, 450, bits);
    }
    lastTick.measured = true;
    lastTick.facts.freeMb = 450;
    build(1010000, 0);
    EXPECT_EQ(shown(Fill), (Texts{"64-105", "224-285", "384-469"}));
    EXPECT_EQ(shown(Centre), (Texts{"key", "command", "close", "shutdown", "key", "23:45", "23:50",
                                    "23:55", "00:00"}));
    EXPECT_EQ(shown(Left), Texts{"Zembrovale 0.7: 450 MB"});
}

TEST_F(HistoryTest, TheChartShowsOnlyWhatHappenedEachAtTheLocalTimeItHad) {
    start({{"ShowHistory", "1"}, {"TargetTimeout", "5"}});
    fake::windows.push_back({"Rec", "Recorder"});
    constexpr std::uint32_t Hour = 3600, Forward = Hour + 5 * Hour + Hour / 2;
    // Local midnight at 3600 s; the clock goes forward an hour 5.5 hours later.
    const auto at = [&](std::uint32_t second, std::uint32_t freeMb, bool keyAnswered) {
        fake::targetAnswers = keyAnswered;
        fakeui::localSecondOfDay = (second - Hour + (second >= Forward ? Hour : 0)) % 86400;
        fake::clockMs = second * 1000ull - 5000;
        tickAt(freeMb, 5);
    };
    // Alarms of 20 s every half hour; the key of the first gets no answer and is not charted.
    for (std::uint32_t alarm = 0, second = Hour; alarm < 23; ++alarm, second += Hour / 2) {
        at(second, 450, alarm > 0);
        at(second + 20, 600, false);
        if (alarm == 0) {
            EXPECT_EQ(marks(), "3600:0 3620:2 ");
        }
    }
    build(43220000, 12 * Hour);
    const Texts shades = shown(Fill);
    EXPECT_EQ(shades.size(), 23u) << "each alarm shaded on its own";
    for (const std::string& shade : shades) {
        EXPECT_LE(std::stoi(shade.substr(shade.find('-') + 1)) - std::stoi(shade), 2) << shade;
    }
    const Texts times = {"00:00", "02:00", "04:00", "08:00", "10:00", "12:00"};
    Texts labels = shown(Centre);
    EXPECT_EQ(Texts(labels.end() - 6, labels.end()), times) << "the earlier hours keep their time";
    at(43220 + 25 * Hour, 600, true);
    build(133220000, 13 * Hour);
    EXPECT_EQ(shown(Fill), Texts{}) << "aged out with their samples";
    std::strcpy(settings.DriveLetter, "E:\\");
    at(133225, 600, true);
    EXPECT_EQ(History::samples.count, 1) << "another drive starts afresh";
}

TEST_F(HistoryTest, TheKeysAddTheHistoryItemAndAnIconMarkedOnlyAtTransitions) {
    start({{"ShowHistory", "1"}, {"StateIcon", "1"}});
    EXPECT_EQ(fake::calls.back(), "CreateIconIndirect level 1, level 2") << "made once, at start";
    const auto& menu = fakeui::menu;
    ASSERT_GE(menu.size(), 3u);
    EXPECT_EQ(menu[menu.size() - 3].text, "History");
    EXPECT_EQ(menu.back().text, "Close");
    start({{"StateIcon", "1"}});
    fake::windows.push_back({"Rec", "Recorder"});
    // Free megabytes of each tick and the icon it shows, where it changes it.
    const std::pair<std::uint32_t, const char*> steps[] = {
        {600, ""}, {450, "1"}, {400, ""}, {50, "2"}, {40, ""}, {600, "0"}, {50, "2"}};
    for (const auto& [freeMb, icon] : steps) {
        const Calls calls = tickAt(freeMb, 5);
        EXPECT_EQ(fake::countCalls(calls, "Shell_NotifyIconA"), icon[0] != '\0') << freeMb;
        EXPECT_EQ(fake::countCalls(calls, std::string("Shell_NotifyIconA NIM_MODIFY icon ") + icon),
                  icon[0] != '\0');
    }
    fake::calls.clear();
    TrayMenu::onTaskbarCreated();
    EXPECT_EQ(fake::calls,
              Calls{"Shell_NotifyIconA NIM_ADD again Zembrovale 0.7 (dry run) (icon 2)"});
    driveFailureReported = true;
    EXPECT_EQ(fake::countCalls(tickAt(600, 5), "Shell_NotifyIconA"), 0) << "the end has begun";
}

} // namespace
