// What the notification icon tells and keeps: the balloons of an excursion, the icon
// added again after the shell restarts, two copies of the program side by side, each
// with its own file, drive and target, and the icon and the History chart of a night.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using Lines = std::vector<std::string>;

using zvtest::joined;

// Balloons on screen now, whoever asked for them: the tray draws them, not the program.
Lines balloonTexts() {
    Lines texts;
    for (HWND tip = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr); tip != nullptr;
         tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) {
        if (!IsWindowVisible(tip) || (GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) == 0) {
            continue;
        }
        char text[512] = "";
        DWORD_PTR length = 0;
        if (SendMessageTimeoutA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                SMTO_NORMAL, 1000, &length) != 0) {
            texts.emplace_back(text, static_cast<size_t>(length));
        }
    }
    return texts;
}

// Icons in the tray now; the tray hides itself (and so every icon) when none is left. With
// a colour, the pixels of that colour in all of them.
int trayIcons(COLORREF colour = CLR_INVALID) {
    const HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    int count = 0;
    for (HWND icon = tray != nullptr ? GetWindow(tray, GW_CHILD) : nullptr; icon != nullptr;
         icon = GetWindow(icon, GW_HWNDNEXT)) {
        if (IsWindowVisible(icon)) {
            const RECT area = zvtest::windowRectOnScreen(icon);
            const RECT all = {0, 0, area.right - area.left, area.bottom - area.top};
            count += colour == CLR_INVALID ? 1 : zvtest::captureScreen(area).count(colour, all);
        }
    }
    return count;
}

class TraySpeaksE2E : public e2e::TargetOnTestDrive {
  protected:
    void SetUp() override {
        TargetOnTestDrive::SetUp();
        drive = zvtest::testDrive().substr(0, 2);
        otherLog = targetLog + "-e.log";
    }
    void TearDown() override {
        zvtest::removeFile(otherLog);
        TargetOnTestDrive::TearDown();
    }

    // Level 1 three megabytes below the free space at the start, level 2 ten below, where
    // the target is closed. Shutting down never is.
    e2e::IniKeys speaksIni(const e2e::IniKeys& changes = {}) const {
        return e2e::withKeys(e2e::baseIni(), e2e::withKeys({{"level1", std::to_string(free - 3)},
                                                            {"level2", std::to_string(free - 10)},
                                                            {"ClassName", targetClass},
                                                            {"key", "00000082"},
                                                            {"DriveLetter", zvtest::testDrive()},
                                                            {"CloseTarget", "00000001"},
                                                            {"UpdateInterval", "00000050"}},
                                                           changes));
    }

    // Filled while the program is held, so its next tick measures the whole file at once.
    bool fillBetweenTicks(e2e::DriveFiller& filler, std::uint32_t megabytes) {
        if (!product.process().suspend()) {
            return false;
        }
        const bool filled = filler.fill(megabytes);
        return product.process().resume() && filled;
    }

    std::string drive;
    std::string otherLog; // a second target's, where a test has one
};

// The tray shows a balloon 2 s after the last request for it: one asked for again on every
// tick would never appear.
::testing::AssertionResult balloonShows(const std::string& expected) {
    Lines shown;
    if (zvtest::waitUntil([&] {
            shown = balloonTexts();
            return std::find(shown.begin(), shown.end(), expected) != shown.end();
        })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "expected a balloon \"" << expected << "\"; shown:" << joined(shown);
}

using BalloonE2E = TraySpeaksE2E;

TEST_F(BalloonE2E, EachTransitionOfAnExcursionTellsWhatItsTickMeasured) {
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(product.start(speaksIni({{"ShowBalloons", "1"}})), nullptr);
    e2e::DriveFiller filler("zv-speaks.bin");
    ASSERT_TRUE(fillBetweenTicks(filler, 6));
    EXPECT_TRUE(balloonShows(drive + " " + std::to_string(free - 6) + " MB free, level 1 is " +
                             std::to_string(free - 3) + " MB"));
    ASSERT_TRUE(fillBetweenTicks(filler, 16));
    EXPECT_TRUE(balloonShows(drive + " " + std::to_string(free - 16) + " MB free, level 2 is " +
                             std::to_string(free - 10) + " MB"));
    EXPECT_TRUE(target.waitForExit()) << "level 2 was not acted on";
    filler.release();
    EXPECT_TRUE(balloonShows(drive + " " + std::to_string(free) + " MB free again"));
    EXPECT_EQ(product.closeAndWait(), 0u);
}

TEST_F(BalloonE2E, WithoutTheKeyAnExcursionShowsNone) {
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(product.start(speaksIni()), nullptr);
    e2e::DriveFiller filler("zv-speaks.bin");
    ASSERT_TRUE(filler.fill(6));
    ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::keyDowns(targetLog, 82) == 1; }))
        << "no alarm:" << joined(zvtest::readLines(targetLog));
    // A balloon shows 2 s after its request.
    Lines shown;
    EXPECT_FALSE(zvtest::waitUntil(
        [&] {
            shown = balloonTexts();
            return !shown.empty();
        },
        3000))
        << "shown:" << joined(shown);
    filler.release();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

// --- The shell restarting: its icon gone, then the restart message ---

// Icons in the tray without the program, with it, once its icon was removed as a
// restarting shell does, and after the restart message.
using Counts = std::vector<int>;

class ShellRestartE2E : public TraySpeaksE2E {
  protected:
    Counts restartShell(const e2e::IniKeys& keys, DWORD watchMs) {
        Counts counts = {trayIcons()};
        const HWND window = product.start(keys);
        // The tray takes the icon a moment after the program has added it.
        zvtest::waitUntil([&] { return trayIcons() == counts[0] + 1; });
        counts.push_back(trayIcons());
        NOTIFYICONDATAA icon = {};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = window;
        icon.uID = 0;
        Shell_NotifyIconA(NIM_DELETE, &icon);
        zvtest::waitUntil([&] { return trayIcons() == counts[0]; });
        counts.push_back(trayIcons());
        PostMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        zvtest::waitUntil([&] { return trayIcons() == counts[1]; }, watchMs);
        counts.push_back(trayIcons());
        return counts;
    }
};

TEST_F(ShellRestartE2E, WithKeepTrayIconTheIconComesBack) {
    const Counts counts = restartShell(speaksIni({{"KeepTrayIcon", "1"}}), zvtest::DefaultWaitMs);
    const int others = counts[0];
    EXPECT_EQ(counts, (Counts{others, others + 1, others, others + 1}));
    EXPECT_EQ(product.closeAndWait(), 0u);
}

TEST_F(ShellRestartE2E, WithoutTheKeyTheIconStaysGone) {
    // Watched far longer than the program takes to handle the message (milliseconds).
    const Counts counts = restartShell(speaksIni(), 1000);
    const int others = counts[0];
    EXPECT_EQ(counts, (Counts{others, others + 1, others, others}));
    EXPECT_TRUE(product.answers());
    EXPECT_EQ(product.closeAndWait(), 0u);
}

// --- Two copies in one folder ---

using TwoDrivesE2E = TraySpeaksE2E;

TEST_F(TwoDrivesE2E, TwoCopiesInOneFolderKeepToTheirOwnFileTargetAndKey) {
    // The first watches the test drive; the second, zembrovale-e.exe, a drive that is
    // always below its level 1.
    const std::string otherClass = targetClass + "-e";
    zvtest::ChildProcess otherTarget;
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(zvtest::startTarget(otherTarget, otherClass,
                                  {"--log", otherLog, "--rect", "400", "600", "300", "150"}),
              nullptr);
    const int iconsBefore = trayIcons();
    const e2e::IniKeys firstKeys = speaksIni({{"x", "00000100"}, {"y", "00000300"}});
    ASSERT_NE(product.start(firstKeys), nullptr);
    e2e::ProductRun second;
    ASSERT_NE(second.startBeside(product, "zembrovale-e",
                                 speaksIni({{"level1", "2147483647"},
                                            {"level2", "00000000"},
                                            {"ClassName", otherClass},
                                            {"key", "00000083"},
                                            {"DriveLetter", "C:\\"},
                                            {"x", "00000500"},
                                            {"y", "00000300"}})),
              nullptr);
    EXPECT_TRUE(zvtest::waitUntil([&] { return trayIcons() == iconsBefore + 2; }))
        << "icons before: " << iconsBefore << ", now " << trayIcons();
    EXPECT_EQ(zvtest::windowRectOnScreen(product.mainWindow()).left, 100);
    EXPECT_EQ(zvtest::windowRectOnScreen(second.mainWindow()).left, 500);

    const Lines pressed82 = {"WM_KEYDOWN 82 0", "WM_KEYUP 82 0"};
    const Lines pressed83 = {"WM_KEYDOWN 83 0", "WM_KEYUP 83 0"};
    const auto logs = [&] {
        return "first's target:" + joined(zvtest::readLines(targetLog)) +
               "\nsecond's target:" + joined(zvtest::readLines(otherLog));
    };
    EXPECT_TRUE(zvtest::waitUntil([&] { return zvtest::readLines(otherLog) == pressed83; }))
        << logs();
    // Ten ticks of the first, above its level 1.
    EXPECT_FALSE(zvtest::waitUntil([&] { return !zvtest::readLines(targetLog).empty(); }, 500))
        << logs();

    e2e::DriveFiller filler("zv-speaks.bin");
    ASSERT_TRUE(filler.fill(6));
    EXPECT_TRUE(zvtest::waitUntil([&] { return zvtest::readLines(targetLog) == pressed82; }))
        << logs();
    EXPECT_EQ(zvtest::readLines(otherLog), pressed83) << logs();

    // The second ends and stores its own position in its own file.
    SetWindowPos(second.mainWindow(), nullptr, 555, 333, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(second.closeAndWait(), 0u);
    EXPECT_EQ(second.iniValue("x"), "00000555");
    EXPECT_EQ(product.iniText(), zvtest::formatIni(firstKeys));
    // The first goes on: its recovery tick presses the key a second time.
    EXPECT_TRUE(product.answers());
    filler.release();
    Lines twice = pressed82;
    twice.insert(twice.end(), pressed82.begin(), pressed82.end());
    EXPECT_TRUE(zvtest::waitUntil([&] { return zvtest::readLines(targetLog) == twice; })) << logs();
    EXPECT_EQ(zvtest::readLines(otherLog), pressed83) << logs();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

// --- The night seen at a glance: the marked icon and the History chart ---

using NightChartE2E = TraySpeaksE2E;

TEST_F(NightChartE2E, TheMenuOpensTheChartThatDrawsTheCurveAndClosesWhileTicksGoOn) {
    const HWND window = product.start(speaksIni({{"x", "00000700"},
                                                 {"y", "00000500"},
                                                 {"ShowHistory", "1"},
                                                 {"StateIcon", "1"},
                                                 {"UpdateInterval", "00000100"}}));
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, CmdHistory, 0);
    const HWND chart = e2e::waitForVisible(product.process().id(), "ZvHistory", "History");
    ASSERT_NE(chart, nullptr);
    const RECT plot = {64, 26, 470, 222}; // the curve's area, in client coordinates
    const auto shows = [&](COLORREF colour) {
        return zvtest::waitUntil([&] {
            return zvtest::captureScreen(zvtest::clientRectOnScreen(chart)).count(colour, plot) > 0;
        });
    };
    EXPECT_TRUE(shows(e2e::Green)) << "no curve";
    e2e::DriveFiller filler("zv-chart.bin");
    ASSERT_TRUE(filler.fill(6));
    EXPECT_TRUE(shows(RGB(90, 0, 0))) << "the excursion is not shaded";
    PostMessageA(chart, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(zvtest::waitUntil([&] { return !e2e::visible(chart); }));
    // Without a window manager the chart opens over the tray, which shows again now.
    EXPECT_TRUE(zvtest::waitUntil([] { return trayIcons(e2e::Yellow) > 0; })) << "icon unmarked";
    filler.release();
    EXPECT_TRUE(zvtest::waitUntil([] { return trayIcons(e2e::Yellow) == 0; })) << "ticks stopped";
    PostMessageA(window, WM_COMMAND, CmdHistory, 0);
    EXPECT_EQ(e2e::waitForVisible(product.process().id(), "ZvHistory"), chart) << "one window";
    EXPECT_EQ(product.closeAndWait(), 0u);
}

} // namespace
