#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/target_window.h"
#include "app/main_window.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "ui/tray_menu.h"

namespace {

using Calls = std::vector<std::string>;
WindowHandle const mainWindow = reinterpret_cast<WindowHandle>(0x1234);
constexpr std::intptr_t MouseMove = 0x0200, LeftUp = 0x0202, LeftDoubleClick = 0x0203,
                        RightUp = 0x0205;

class TrayMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        SettingsFile::load(); // the INI path, for "Edit config"
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.ClassName, "RecorderMainWnd");
        std::strcpy(settings.WindowName, "NULL");
        windowHidden = false;
        monitorTimer = 1;
        TrayMenu::build(mainWindow);
        fake::calls.clear();
    }

    static Calls command(std::uintptr_t wParam, std::intptr_t lParam = 0) {
        fake::calls.clear();
        TrayMenu::onCommand(mainWindow, wParam, lParam);
        return fake::calls;
    }
};

TEST_F(TrayMenuTest, BuildMakesTheMenuInOrderThenAddsTheIcon) {
    for (std::int32_t hideTarget : {0, 100, 256, -1}) {
        SCOPED_TRACE(hideTarget);
        fakeui::reset();
        settings.HideTarget = hideTarget;
        TrayMenu::build(mainWindow);
        const char* lock = hideTarget != 0 ? "Unlock Target" : "Lock Target";
        EXPECT_EQ(fake::calls,
                  (Calls{"CreatePopupMenu", "AppendMenuA 1001 About", "AppendMenuA 1000 Hide",
                         std::string("AppendMenuA 1006 ") + lock, "AppendMenuA separator",
                         "AppendMenuA 1005 Options", "AppendMenuA 1004 WinSpy",
                         "AppendMenuA 1003 Edit config", "AppendMenuA separator",
                         "AppendMenuA 1002 Close", "Shell_NotifyIconA NIM_ADD"}));
    }
}

TEST_F(TrayMenuTest, IconEventsOfOurIconOnly) {
    const struct {
        std::uintptr_t iconId;
        std::intptr_t mouse;
        Calls expected;
    } cases[] = {
        {0, RightUp, {"TrackPopupMenu"}},
        {0, LeftUp, {"SendMessageA WM_COMMAND 1000 0"}},
        {0, MouseMove, {}},
        {0, LeftDoubleClick, {}},
        {1, RightUp, {}},
        {1, LeftUp, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.iconId << " " << c.mouse);
        fake::calls.clear();
        TrayMenu::onTrayNotify(mainWindow, c.iconId, c.mouse);
        // The left click's command goes on to hide the window; only its start matters here.
        const Calls first(fake::calls.begin(),
                          fake::calls.begin() + std::min(fake::calls.size(), c.expected.size()));
        EXPECT_EQ(first, c.expected);
        EXPECT_EQ(fake::calls.empty(), c.expected.empty());
        windowHidden = false;
    }
}

TEST_F(TrayMenuTest, LeftClicksHideAndRestoreTheWindow) {
    TrayMenu::onTrayNotify(mainWindow, 0, LeftUp);
    EXPECT_TRUE(windowHidden);
    EXPECT_EQ(fake::calls, (Calls{"SendMessageA WM_COMMAND 1000 0", "SendMessageA WM_SIZE 1 1",
                                  "ModifyMenuA 1000 Restore", "ShowWindow SW_HIDE",
                                  "ModifyMenuA 1000 Restore"}));
    EXPECT_EQ(fakeui::menu[1].text, "Restore");

    fake::calls.clear();
    TrayMenu::onTrayNotify(mainWindow, 0, LeftUp);
    EXPECT_FALSE(windowHidden);
    EXPECT_EQ(fake::calls, (Calls{"SendMessageA WM_COMMAND 1000 0", "ShowWindow SW_RESTORE",
                                  "SetForegroundWindow main", "ModifyMenuA 1000 Hide"}));
    EXPECT_EQ(fakeui::menu[1].text, "Hide");
}

TEST_F(TrayMenuTest, CommandsFromControlsAndUnknownCommandsDoNothing) {
    for (std::uintptr_t id = 1000; id <= 1006; ++id) {
        EXPECT_EQ(command(id, 0x4321), Calls{}) << id;
    }
    EXPECT_EQ(command(999), Calls{});
    EXPECT_EQ(command(1007), Calls{});
    EXPECT_EQ(command(0x10000 + 999), Calls{});
}

TEST_F(TrayMenuTest, EachCommandDoesItsOneThing) {
    const struct {
        std::uintptr_t wParam;
        Calls expected;
    } cases[] = {
        {CmdAbout,
         {"MessageBoxA About: Zembrovale 0.7 by the Zembrovale developers\r\n\r\n"
          "Homepage:   https://zembrovale.example.org\r\n\r\n"
          "Email:            zembrovale@example.org"}},
        {CmdClose, {"SendMessageA WM_DESTROY 0 0"}},
        {CmdEditConfig, {"ShellExecuteA open C:\\tools\\zembrovale.ini"}},
        {CmdWinSpy, {"DialogBoxParamA WINSPY"}},
        // Only the low word is the command; the high word tells menu from accelerator.
        {0x10000 + CmdWinSpy, {"DialogBoxParamA WINSPY"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(command(c.wParam), c.expected) << c.wParam;
    }
}

TEST_F(TrayMenuTest, OptionsRestartTheTimerAndReapplyTheLockWhateverTheDialogDid) {
    // The dialog re-read the file; cancelled or saved, its settings now stand.
    fakeui::insideOptions = [] {
        settings.UpdateInterval = 250;
        settings.HideTarget = 0;
    };
    fakeui::timerReturned = 1;
    settings.HideTarget = 100;
    const Calls calls = command(CmdOptions);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 4),
              (Calls{"DialogBoxParamA OPTIONS", "KillTimer 1", "SetTimer 1 250",
                     "FindWindowA RecorderMainWnd|(any)"}));
    EXPECT_EQ(calls.back(), "ModifyMenuA 1006 Lock Target");
    EXPECT_EQ(monitorTimer, 1u);
}

TEST_F(TrayMenuTest, LockCommandTogglesTheLock) {
    command(CmdLockTarget);
    EXPECT_EQ(settings.HideTarget, 100);
    EXPECT_EQ(fake::menuText[CmdLockTarget], "Unlock Target");
}

} // namespace
