// The alarm cycle of the running program against a real target window and the test drive,
// whose free space the test lowers and raises by writing and deleting a file on it; and
// the end of the program when its drive cannot be read.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using Lines = std::vector<std::string>;

const Lines KeyPress = {"WM_KEYDOWN 82 0", "WM_KEYUP 82 0"};
const std::string CloseRequest = "WM_CLOSE 0 0";
constexpr const char* DriveWarning = "Drive Letter is not correct..Check ini file.";
// Ten ticks at the 50 ms period used here: long enough for a repeat to show.
constexpr DWORD SeveralTicksMs = 500;

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using zvtest::joined;

class AlarmE2E : public e2e::TargetOnTestDrive {
  protected:
    // Level 1 three megabytes below the free space at the start; level 2 out of reach
    // unless a test brings it nearer. Closing is on, shutting down never is.
    e2e::IniKeys alarmIni(const e2e::IniKeys& changes = {}) const {
        return e2e::withKeys(e2e::baseIni(),
                             e2e::withKeys({{"level1", std::to_string(static_cast<long>(free) - 3)},
                                            {"level2", "00000000"},
                                            {"ClassName", targetClass},
                                            {"WindowName", "NULL"},
                                            {"key", "00000082"},
                                            {"DriveLetter", zvtest::testDrive()},
                                            {"CloseTarget", "00000001"},
                                            {"ShutDownPC", "00000000"},
                                            {"UpdateInterval", "00000050"},
                                            {"x", "00000400"},
                                            {"y", "00000500"}},
                                           changes));
    }

    Lines log() const { return zvtest::readLines(targetLog); }
    bool logReaches(size_t count) {
        return zvtest::waitUntil([&] { return log().size() >= count; });
    }
    // True when nothing more is logged for a while.
    bool logStaysAt(size_t count) {
        return !zvtest::waitUntil([&] { return log().size() > count; }, SeveralTicksMs);
    }

    bool freeSpaceShownIn(COLORREF colour) {
        return product.panelShows(e2e::FreeNumberCell, colour);
    }

    void closeAndExpectCodeZero() {
        PostMessageA(product.mainWindow(), WM_COMMAND, CmdClose, 0);
        ASSERT_TRUE(product.process().waitForExit());
        EXPECT_EQ(product.process().exitCode(), 0u);
    }
};

TEST_F(AlarmE2E, KeyIsPressedOnceOnTheWayDownAndOnceOnTheWayUp) {
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(product.start(alarmIni()), nullptr);
    EXPECT_TRUE(logStaysAt(0)) << "above level 1:" << joined(log());

    e2e::DriveFiller filler("zv-alarm.bin");
    ASSERT_TRUE(filler.fill(6));
    ASSERT_TRUE(logReaches(2)) << "no key press below level 1:" << joined(log());
    // Level 2 is out of reach: no close request, and no second press while it lasts.
    EXPECT_TRUE(logStaysAt(2)) << joined(log());
    EXPECT_EQ(log(), KeyPress) << joined(log());

    filler.release();
    ASSERT_TRUE(logReaches(4)) << "no key press above level 1 again:" << joined(log());
    EXPECT_TRUE(logStaysAt(4)) << joined(log());
    EXPECT_EQ(log(), KeyPress + KeyPress) << joined(log());
    EXPECT_TRUE(target.running());
    closeAndExpectCodeZero();
}

TEST_F(AlarmE2E, TargetStartedDuringTheAlarmGetsTheKeyOnce) {
    ASSERT_NE(product.start(alarmIni()), nullptr);
    e2e::DriveFiller filler("zv-alarm.bin");
    ASSERT_TRUE(filler.fill(6));
    // Alarm ticks without a target: the free space turns red, nothing else happens.
    ASSERT_TRUE(freeSpaceShownIn(e2e::Red)) << "the alarm did not engage";

    ASSERT_NE(startTarget(), nullptr);
    ASSERT_TRUE(logReaches(2)) << "the target found below level 1 got no key:" << joined(log());
    EXPECT_TRUE(logStaysAt(2)) << joined(log());
    EXPECT_EQ(log(), KeyPress) << joined(log());

    filler.release();
    ASSERT_TRUE(logReaches(4)) << joined(log());
    EXPECT_TRUE(logStaysAt(4)) << joined(log());
    EXPECT_EQ(log(), KeyPress + KeyPress) << joined(log());
    closeAndExpectCodeZero();
}

TEST_F(AlarmE2E, LevelTwoAsksTheTargetToCloseOnEveryTickUntilItIsGone) {
    // The target refuses twice and closes on the third request.
    ASSERT_NE(startTarget({"--refuse-close", "2"}), nullptr);
    ASSERT_NE(product.start(alarmIni({{"level2", std::to_string(static_cast<long>(free) - 10)}})),
              nullptr);

    e2e::DriveFiller filler("zv-alarm.bin");
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(target.waitForExit()) << "the target is still open:" << joined(log());
    EXPECT_EQ(target.exitCode(), 0u);
    const Lines threeCloses(3, CloseRequest);
    EXPECT_EQ(log(), KeyPress + threeCloses) << joined(log());

    // Without a target nothing more is sent, and the computer is not shut down.
    filler.release();
    EXPECT_FALSE(product.process().waitForExit(SeveralTicksMs)) << "the program ended";
    closeAndExpectCodeZero();
}

// --- A drive that cannot be read ---

enum class Dismiss { OkButton, CloseCommand };

class DriveFailureE2E : public AlarmE2E {
  protected:
    static std::vector<HWND> warnings(e2e::ProductRun& run) {
        std::vector<HWND> shown;
        for (HWND box : zvtest::processWindows(run.process().id(), "#32770", e2e::Title)) {
            if (e2e::visible(box)) {
                shown.push_back(box);
            }
        }
        return shown;
    }

    // Checks the one warning, ends it as the user would, and checks that the program then
    // ended with code 0 without a second warning.
    static void expectOneWarningThenTheEnd(e2e::ProductRun& run, Dismiss dismiss) {
        const HWND mainWindow = run.mainWindow();
        const HWND box = e2e::waitForVisible(run.process().id(), "#32770", e2e::Title);
        ASSERT_NE(box, nullptr) << "no warning";
        EXPECT_EQ(e2e::messageText(box), DriveWarning);
        EXPECT_EQ(GetWindow(box, GW_OWNER), mainWindow);
        EXPECT_EQ(e2e::messageButtons(box), std::vector<int>{IDOK});
        EXPECT_TRUE(e2e::boxLooksLike(box, DriveWarning, e2e::Title, MB_OK | MB_ICONWARNING))
            << "the warning icon and the text as a message box shows them";

        // Repaints meanwhile measure the drive again; they must not warn again.
        RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        EXPECT_FALSE(zvtest::waitUntil([&] { return warnings(run).size() > 1; }, 300))
            << "a second warning while the first is open";
        EXPECT_TRUE(run.process().running()) << "ended before the warning was answered";

        if (dismiss == Dismiss::OkButton) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageA(mainWindow, WM_COMMAND, CmdClose, 0);
        }
        zvtest::waitUntil([&] {
            if (!run.process().running()) {
                return true;
            }
            for (HWND other : warnings(run)) {
                if (other != box) {
                    return true;
                }
            }
            return false;
        });
        ASSERT_FALSE(run.process().running()) << "a second warning, or the program goes on";
        EXPECT_EQ(run.process().exitCode(), 0u);
    }
};

TEST_F(DriveFailureE2E, MissingDriveWarnsOnceAtTheFirstPaintAndEnds) {
    for (Dismiss dismiss : {Dismiss::OkButton, Dismiss::CloseCommand}) {
        SCOPED_TRACE(dismiss == Dismiss::OkButton ? "OK" : "Close from the menu meanwhile");
        zvtest::ChildProcess watched;
        targetClass = zvtest::uniqueName("zv-alarm-target");
        ASSERT_NE(zvtest::startTarget(watched, targetClass, {"--log", targetLog}), nullptr);
        e2e::ProductRun run;
        // Every action would be due at once if the drive could be read.
        ASSERT_NE(
            run.start(alarmIni(
                {{"DriveLetter", "Q:\\"}, {"level1", "2000000000"}, {"level2", "2000000000"}})),
            nullptr);
        expectOneWarningThenTheEnd(run, dismiss);
        EXPECT_TRUE(log().empty()) << "the target was acted on:" << joined(log());
        EXPECT_EQ(run.iniValue("x"), "00000400") << "the visible window's place is stored";
        EXPECT_TRUE(watched.running());
    }
}

TEST_F(DriveFailureE2E, FolderThatVanishesWarnsOnceAndEnds) {
    // DriveLetter holds seven characters, enough for a short folder on the test drive.
    const std::string folder = zvtest::testDrive() + "zvg";
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_NE(product.start(alarmIni({{"DriveLetter", folder + "\\"}})), nullptr);
    ASSERT_TRUE(freeSpaceShownIn(e2e::Green)) << "the folder's free space is not shown";

    ASSERT_TRUE(RemoveDirectoryA(folder.c_str()));
    expectOneWarningThenTheEnd(product, Dismiss::OkButton);
}

// Ticks go on while the user drags the window, so the drive can fail in the middle of a
// drag. The drag loop then takes the quit message that ends the warning; the program must
// end all the same. Disabled while the main loop waits for that quit message alone.
TEST_F(DriveFailureE2E, FailureDuringADragStillEndsTheProgram) {
    const std::string folder = zvtest::testDrive() + "zvh";
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const HWND window = product.start(alarmIni({{"DriveLetter", folder + "\\"}}));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(freeSpaceShownIn(e2e::Green));

    const RECT client = zvtest::clientRectOnScreen(window);
    const POINT from = {client.left + 120, client.top + 60};
    e2e::mouseInput(from, 0);
    e2e::mouseInput(from, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::inMoveLoop(window); })) << "no drag";
    const POINT to = {from.x + 40, from.y + 20};
    e2e::mouseInput(to, 0);
    RemoveDirectoryA(folder.c_str());
    const HWND box = e2e::waitForVisible(product.process().id(), "#32770", e2e::Title);
    ASSERT_NE(box, nullptr) << "no warning";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    e2e::mouseInput(to, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(product.process().waitForExit(3000)) << "the program goes on after the warning";
    EXPECT_EQ(product.process().exitCode(), 0u);
}

} // namespace
