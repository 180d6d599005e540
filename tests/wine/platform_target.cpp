// The target window actions against real windows of another process (test_target.exe).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "actions/target_window.h"
#include "settings/settings.h"
#include "support/target_protocol.h"
#include "support/wine_support.h"

namespace {

void aimAt(const std::string& className, const std::string& windowName) {
    std::memset(settings.ClassName, 0, sizeof settings.ClassName);
    std::memset(settings.WindowName, 0, sizeof settings.WindowName);
    className.copy(settings.ClassName, sizeof settings.ClassName - 1);
    windowName.copy(settings.WindowName, sizeof settings.WindowName - 1);
}

HWND foundTarget() {
    return static_cast<HWND>(TargetWindow::findTarget());
}

LONG exStyleOf(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

LRESULT askTarget(HWND window, UINT query) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, query, 0, 0, SMTO_ABORTIFHUNG, zvtest::DefaultWaitMs,
                             &answer)) {
        return -2;
    }
    return static_cast<LRESULT>(answer);
}

class TargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&settings, 0, sizeof settings);
        settings.UpdateInterval = 1000;
        ini = zvtest::ownIniPath();
        zvtest::removeFile(ini);
    }
    void TearDown() override {
        zvtest::removeFile(ini);
        for (const std::string& log : logs) {
            zvtest::removeFile(log);
        }
    }

    std::string newLog() {
        logs.push_back(zvtest::tempFolder() + zvtest::uniqueName("target") + ".log");
        return logs.back();
    }

    std::string ini;
    std::vector<std::string> logs;
};

// --- Finding the target -------------------------------------------------------------

struct FindCase {
    const char* className; // "#n": the class of started window n
    const char* windowName;
    int expected; // index of the started window, or -1 for none
};

TEST_F(TargetTest, FindTargetMatchesClassAndTitleRules) {
    struct Started {
        std::string className;
        const char* title;
        bool hidden;
    };
    const std::vector<Started> windows = {{zvtest::uniqueName("ZvFindA"), "Recorder Main", false},
                                          {zvtest::uniqueName("ZvFindB"), "NULL", false},
                                          {zvtest::uniqueName("ZvFindC"), "null", false},
                                          {zvtest::uniqueName("ZvFindD"), "Hidden One", true}};
    zvtest::ChildProcess processes[4];
    std::vector<HWND> handles;
    for (size_t i = 0; i < windows.size(); ++i) {
        std::vector<std::string> args = {"--title", windows[i].title};
        if (windows[i].hidden) {
            args.push_back("--hidden");
        }
        handles.push_back(zvtest::startTarget(processes[i], windows[i].className, args));
        ASSERT_NE(nullptr, handles.back()) << "test_target.exe did not show " << windows[i].title;
    }

    const FindCase cases[] = {
        {"#0", "Recorder Main", 0},
        {"#0", "RECORDER MAIN", 0}, // titles compare without regard to case
        {"#0", "Recorder", -1},     // ... but whole
        {"#0", "NULL", 0},          // any title
        {"#0", "NULLX", 0},         // only the first four characters decide
        {"#0", "Null", -1},         // no wildcard: looks for a window titled "Null"
        {"#1", "Null", 1},          // ... which a window titled "NULL" is
        {"#2", "Null", 2},
        {"#2", "NULL", 2},
        {"#3", "Hidden One", 3}, // hidden windows count
        {"DEFAULT", "DEFAULT", -1},
        {"", "NULL", -1},
    };
    for (const FindCase& row : cases) {
        std::string className = row.className;
        if (className.size() == 2 && className[0] == '#') {
            className = windows[className[1] - '0'].className;
        }
        aimAt(className, row.windowName);
        const HWND expected = row.expected < 0 ? nullptr : handles[row.expected];
        EXPECT_EQ(expected, foundTarget())
            << "ClassName " << row.className << ", WindowName \"" << row.windowName
            << "\": expected " << (row.expected < 0 ? "no window" : "started window #")
            << (row.expected < 0 ? "" : std::to_string(row.expected));
    }

    // The class compares without regard to case as well.
    std::string upper = windows[0].className;
    for (char& c : upper) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    aimAt(upper, "Recorder Main");
    EXPECT_EQ(handles[0], foundTarget()) << "class " << upper;
}

// --- Locking ------------------------------------------------------------------------

constexpr LONG Layered = WS_EX_LAYERED;
constexpr LONG WindowEdge = WS_EX_WINDOWEDGE;

TEST_F(TargetTest, LockAddsItsBitsAndUnlockClearsOnlyLayered) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvLock");
    const HWND target = zvtest::startTarget(
        process, className, {"--title", "Lock Me", "--exstyle", "80"}); // WS_EX_TOOLWINDOW
    ASSERT_NE(nullptr, target);
    const LONG own = exStyleOf(target);
    ASSERT_TRUE(own & WS_EX_TOOLWINDOW) << "target started without its tool-window bit: " << own;
    ASSERT_FALSE(own & Layered);
    aimAt(className, "Lock Me");

    settings.HideTarget = 100;
    TargetWindow::applyLock();
    EXPECT_EQ(own | Layered | WindowEdge, exStyleOf(target)) << "locked extended style";
    EXPECT_EQ(100, askTarget(target, TargetQueryAlpha)) << "alpha the target reads back";
    EXPECT_FALSE(IsWindowEnabled(target)) << "locked target must be disabled";
    EXPECT_EQ(0, askTarget(target, TargetQueryEnabled));

    settings.HideTarget = 0;
    TargetWindow::applyLock();
    EXPECT_EQ((own | WindowEdge) & ~Layered, exStyleOf(target)) << "unlocked extended style";
    EXPECT_TRUE(exStyleOf(target) & WS_EX_TOOLWINDOW) << "the target's own bit must survive";
    EXPECT_TRUE(IsWindowEnabled(target)) << "unlocked target must accept input";
    EXPECT_EQ(1, askTarget(target, TargetQueryEnabled));
    EXPECT_EQ(-1, askTarget(target, TargetQueryAlpha)) << "an unlocked target is not layered";
    EXPECT_EQ(target, GetForegroundWindow()) << "unlocking brings the target to the front";
}

TEST_F(TargetTest, LockAlphaIsTheLowByteOfHideTarget) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvAlpha");
    const HWND target = zvtest::startTarget(process, className, {"--title", "Alpha"});
    ASSERT_NE(nullptr, target);
    aimAt(className, "NULL");

    const struct {
        std::int32_t hideTarget;
        LRESULT alpha;
    } rows[] = {{1, 1}, {100, 100}, {255, 255}, {256, 0}, {0x1FF, 255}, {-1, 255}, {0x12345, 0x45}};
    for (const auto& row : rows) {
        settings.HideTarget = row.hideTarget;
        TargetWindow::applyLock();
        EXPECT_EQ(row.alpha, askTarget(target, TargetQueryAlpha))
            << "HideTarget " << row.hideTarget;
        EXPECT_FALSE(IsWindowEnabled(target)) << "HideTarget " << row.hideTarget;
    }
}

TEST_F(TargetTest, ToggleLockFlipsSavesAndApplies) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvToggle");
    const HWND target = zvtest::startTarget(process, className, {"--title", "Toggle"});
    ASSERT_NE(nullptr, target);
    SettingsFile::load(); // the save inside the toggle writes to the loaded path
    aimAt(className, "Toggle");
    settings.HideTarget = 37;

    const struct {
        std::int32_t hideTarget;
        const char* storedLine;
        bool locked;
    } steps[] = {{0, "HideTarget=00000000", false},
                 {100, "HideTarget=00000100", true},
                 {0, "HideTarget=00000000", false}};
    for (const auto& step : steps) {
        TargetWindow::toggleLock();
        EXPECT_EQ(step.hideTarget, settings.HideTarget);
        const std::vector<std::string> lines = zvtest::readLines(ini);
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), step.storedLine))
            << "expected " << step.storedLine << " in:\n"
            << zvtest::readFile(ini);
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "ClassName=" + className))
            << "the toggle saves every setting";
        EXPECT_EQ(step.locked, (exStyleOf(target) & Layered) != 0) << step.storedLine;
        EXPECT_EQ(step.locked, !IsWindowEnabled(target)) << step.storedLine;
        EXPECT_EQ(step.locked ? 100 : -1, askTarget(target, TargetQueryAlpha)) << step.storedLine;
    }
}

TEST_F(TargetTest, LockWithoutTargetOnlySavesTheSetting) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvBystander");
    const HWND bystander = zvtest::startTarget(process, className, {"--title", "Bystander"});
    ASSERT_NE(nullptr, bystander);
    const LONG own = exStyleOf(bystander);
    SettingsFile::load();
    aimAt(zvtest::uniqueName("ZvAbsent"), "NULL");

    TargetWindow::toggleLock();
    EXPECT_EQ(100, settings.HideTarget);
    const std::vector<std::string> lines = zvtest::readLines(ini);
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "HideTarget=00000100"));
    TargetWindow::applyLock();
    EXPECT_EQ(own, exStyleOf(bystander)) << "a window of another class was touched";
    EXPECT_TRUE(IsWindowEnabled(bystander));
}

// --- Key press and close ------------------------------------------------------------

TEST_F(TargetTest, PressKeySendsKeyDownThenKeyUpWithZeroKeyData) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvKeys");
    const std::string log = newLog();
    const HWND target = zvtest::startTarget(process, className, {"--title", "Keys", "--log", log});
    ASSERT_NE(nullptr, target);
    aimAt(className, "Keys");

    const std::uint32_t keys[] = {82 /* R */, VK_F5, VK_SPACE, VK_RETURN, 0xFE};
    std::vector<std::string> expected;
    for (std::uint32_t key : keys) {
        settings.key = key;
        TargetWindow::pressKey();
        expected.push_back("WM_KEYDOWN " + std::to_string(key) + " 0");
        expected.push_back("WM_KEYUP " + std::to_string(key) + " 0");
    }
    // The messages are sent, so they are logged by the time pressKey returns.
    EXPECT_EQ(expected, zvtest::readLines(log));
    EXPECT_EQ(target, GetForegroundWindow()) << "pressKey brings the target to the front";
    EXPECT_TRUE(process.running());
}

TEST_F(TargetTest, CloseTargetSendsCloseAndTheTargetEnds) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvClose");
    const std::string log = newLog();
    ASSERT_NE(nullptr,
              zvtest::startTarget(process, className, {"--title", "Close Me", "--log", log}));
    aimAt(className, "NULL");

    TargetWindow::closeTarget();
    EXPECT_EQ(std::vector<std::string>{"WM_CLOSE 0 0"}, zvtest::readLines(log));
    EXPECT_TRUE(process.waitForExit()) << "target still running after WM_CLOSE";
    EXPECT_EQ(0u, process.exitCode());
    EXPECT_EQ(nullptr, foundTarget());
}

TEST_F(TargetTest, CloseTargetIsRepeatableOnATargetThatRefuses) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvStubborn");
    const std::string log = newLog();
    const HWND target = zvtest::startTarget(
        process, className, {"--title", "Stubborn", "--log", log, "--refuse-close", "1"});
    ASSERT_NE(nullptr, target);
    aimAt(className, "Stubborn");

    TargetWindow::closeTarget();
    EXPECT_EQ(1, askTarget(target, TargetQueryRefused));
    EXPECT_TRUE(process.running()) << "the first close was to be refused";
    TargetWindow::closeTarget();
    EXPECT_TRUE(process.waitForExit());
    EXPECT_EQ((std::vector<std::string>{"WM_CLOSE 0 0", "WM_CLOSE 0 0"}), zvtest::readLines(log));
}

TEST_F(TargetTest, ActionsWithoutTargetReachNoOtherWindow) {
    zvtest::ChildProcess process;
    const std::string className = zvtest::uniqueName("ZvOther");
    const std::string log = newLog();
    ASSERT_NE(nullptr, zvtest::startTarget(process, className, {"--title", "Other", "--log", log}));
    aimAt(zvtest::uniqueName("ZvMissing"), "NULL");
    settings.key = 82;

    EXPECT_EQ(nullptr, foundTarget());
    TargetWindow::pressKey();
    TargetWindow::closeTarget();
    zvtest::flushEvents(50);
    EXPECT_EQ(std::vector<std::string>{}, zvtest::readLines(log));
    EXPECT_TRUE(process.running());
}

} // namespace
