#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/target_window.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

constexpr std::uint32_t ToolWindow = 0x80; // WS_EX_TOOLWINDOW

class TargetWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.ClassName, "RecorderMainWnd");
        std::strcpy(settings.WindowName, "Recorder");
        settings.key = 82;
    }
};

TEST_F(TargetWindowTest, WildcardTitleRule) {
    const struct {
        const char* windowName;
        bool wildcard;
    } cases[] = {
        {"NULL", true}, {"NULLX", true}, {"NULL and more", true}, {"Null", false}, {"null", false},
        {"NUL", false}, {"", false},     {"xNULL", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(titleIsWildcard(c.windowName), c.wildcard) << c.windowName;
    }
}

TEST_F(TargetWindowTest, FindTargetPassesTheTitleOrNoneForTheWildcard) {
    fake::windows = {{"RecorderMainWnd", "Some Title"}, {"RecorderMainWnd", "NULL"}};
    std::strcpy(settings.WindowName, "NULLX");
    EXPECT_EQ(TargetWindow::findTarget(), fake::handleOf(0));
    std::strcpy(settings.WindowName, "Null");
    EXPECT_EQ(TargetWindow::findTarget(), fake::handleOf(1))
        << "Null is a title, matched ignoring case";
    std::strcpy(settings.ClassName, "DEFAULT");
    EXPECT_EQ(TargetWindow::findTarget(), nullptr);
    EXPECT_EQ(fake::calls, (Calls{"FindWindowA RecorderMainWnd|(any)",
                                  "FindWindowA RecorderMainWnd|Null", "FindWindowA DEFAULT|Null"}));
}

TEST_F(TargetWindowTest, PressKeyAndCloseSendToTheTopLevelWindow) {
    fake::windows = {{"RecorderMainWnd", "Recorder"}};
    TargetWindow::pressKey();
    TargetWindow::closeTarget();
    EXPECT_EQ(
        fake::calls,
        (Calls{"FindWindowA RecorderMainWnd|Recorder", "SetForegroundWindow Recorder",
               "SendMessageA Recorder WM_KEYDOWN 82 0", "SendMessageA Recorder WM_KEYUP 82 0",
               "FindWindowA RecorderMainWnd|Recorder", "SendMessageA Recorder WM_CLOSE 0 0"}));
}

TEST_F(TargetWindowTest, LockAddsItsBitsAndKeepsTheTargetsOwn) {
    fake::windows = {{"RecorderMainWnd", "Recorder", ToolWindow}};
    settings.HideTarget = 0x1C8; // only the low 8 bits are the alpha
    TargetWindow::applyLock();
    EXPECT_EQ(fake::calls,
              (Calls{"FindWindowA RecorderMainWnd|Recorder", "SetWindowLongA Recorder 0x80180",
                     "SetLayeredWindowAttributes Recorder 200", "EnableWindow Recorder 0",
                     "ModifyMenuA 1006 Unlock Target"}));
}

TEST_F(TargetWindowTest, UnlockClearsOnlyTheLayeredBit) {
    fake::windows = {
        {"RecorderMainWnd", "Recorder", ToolWindow | ExStyleLayered | ExStyleWindowEdge}};
    settings.HideTarget = 0;
    TargetWindow::applyLock();
    EXPECT_EQ(fake::calls, (Calls{"FindWindowA RecorderMainWnd|Recorder",
                                  "SetWindowLongA Recorder 0x180", "EnableWindow Recorder 1",
                                  "SetForegroundWindow Recorder", "ModifyMenuA 1006 Lock Target"}));
}

TEST_F(TargetWindowTest, UnlockAtStartLeavesAnUnlockedTargetsStyleAlone) {
    fake::windows = {{"RecorderMainWnd", "Recorder", ToolWindow}};
    TargetWindow::applyLock();
    EXPECT_EQ(fake::windows[0].exStyle, ToolWindow);
    EXPECT_TRUE(fake::windows[0].enabled);
}

TEST_F(TargetWindowTest, Alpha256LocksInvisible) {
    fake::windows = {{"RecorderMainWnd", "Recorder"}};
    settings.HideTarget = 256;
    TargetWindow::applyLock();
    EXPECT_EQ(fake::windows[0].alpha, 0);
    EXPECT_FALSE(fake::windows[0].enabled);
}

TEST_F(TargetWindowTest, ToggleFlipsBetweenZeroAndHundredAndSavesEverything) {
    fake::windows = {{"RecorderMainWnd", "Recorder"}};
    settings.HideTarget = 37;
    TargetWindow::toggleLock();
    EXPECT_EQ(settings.HideTarget, 0);
    EXPECT_EQ(fake::writtenKeys.size(), 13u);
    EXPECT_EQ(fake::iniValue("HideTarget"), "00000000");
    EXPECT_EQ(fake::menuText[CmdLockTarget], "Lock Target");

    TargetWindow::toggleLock();
    EXPECT_EQ(settings.HideTarget, 100);
    EXPECT_EQ(fake::iniValue("HideTarget"), "00000100");
    EXPECT_EQ(fake::windows[0].alpha, 100);
    EXPECT_EQ(fake::menuText[CmdLockTarget], "Unlock Target");
}

TEST_F(TargetWindowTest, LockWithoutTargetStillSavesAndRenamesTheCommand) {
    TargetWindow::toggleLock();
    EXPECT_EQ(settings.HideTarget, 100);
    EXPECT_EQ(fake::iniValue("HideTarget"), "00000100");
    EXPECT_EQ(fake::menuText[CmdLockTarget], "Unlock Target");
}

TEST(ShutdownRequestTest, SucceedsAndClosesTheToken) {
    fake::reset();
    EXPECT_TRUE(ShutdownRequest());
    EXPECT_EQ(fake::calls,
              (Calls{"OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges 19",
                     "GetLastError", "ExitWindowsEx", "CloseHandle"}));
    EXPECT_EQ(fake::openTokens, 0);
}

TEST(ShutdownRequestTest, EveryFailureIsFalseAndLeavesNoTokenOpen) {
    fake::reset();
    fake::tokenOpens = false;
    EXPECT_FALSE(ShutdownRequest());
    EXPECT_EQ(fake::calls, Calls{"OpenProcessToken"});

    fake::reset();
    fake::lastError = 1300; // ERROR_NOT_ALL_ASSIGNED: the account lacks the privilege
    EXPECT_FALSE(ShutdownRequest());
    EXPECT_EQ(fake::calls.back(), "CloseHandle");
    EXPECT_EQ(std::count(fake::calls.begin(), fake::calls.end(), "ExitWindowsEx"), 0);
    EXPECT_EQ(fake::openTokens, 0);

    fake::reset();
    fake::shutdownAccepted = false;
    EXPECT_FALSE(ShutdownRequest());
    EXPECT_EQ(fake::openTokens, 0);
}

} // namespace
