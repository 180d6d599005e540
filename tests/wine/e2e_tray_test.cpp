// The notification icon and the command menu of the running program: what a click on the
// icon does, what the menu lists, what each item does, the About box and the target lock.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_main_support.h"
#include "support/target_protocol.h"

namespace {

constexpr const char* AboutText = "Zembrovale 0.7 by the Zembrovale developers\r\n\r\n"
                                  "Homepage:   https://zembrovale.example.org\r\n\r\n"
                                  "Email:            zembrovale@example.org";

e2e::IniKeys quietIni(const e2e::IniKeys& changes = {}) {
    return e2e::withKeys(
        e2e::baseIni(),
        e2e::withKeys({{"UpdateInterval", "00060000"}, {"x", "00000300"}, {"y", "00000600"}},
                      changes));
}

RECT outerRect(HWND window) {
    return zvtest::windowRectOnScreen(window);
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

// Delivered synchronously, so that when it returns the program has handled it (and, if
// the menu had opened, it would not have returned before the timeout).
bool trayNotifyHandled(HWND mainWindow, WPARAM iconId, UINT mouseMessage) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(mainWindow, WmTrayNotify, iconId, mouseMessage, SMTO_NORMAL, 1500,
                               &result) != 0;
}

class TrayE2E : public ::testing::Test {
  protected:
    HWND start(const e2e::IniKeys& keys = quietIni()) {
        const HWND window = product.start(keys);
        EXPECT_NE(window, nullptr) << "the program did not start";
        if (window != nullptr) {
            EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
        }
        return window;
    }

    void closeAndExpectCodeZero() {
        PostMessageA(product.mainWindow(), WM_COMMAND, CmdClose, 0);
        ASSERT_TRUE(product.process().waitForExit());
        EXPECT_EQ(product.process().exitCode(), 0u);
    }

    e2e::ProductRun product;
};

TEST_F(TrayE2E, LeftClickOnTheIconHidesAndRestoresToTheFront) {
    const HWND window = start();
    ASSERT_NE(window, nullptr);
    const RECT shownAt = outerRect(window);

    // Messages that are not a left click on icon 0 change nothing and open no menu.
    struct Ignored {
        WPARAM iconId;
        UINT mouseMessage;
    };
    const Ignored ignored[] = {
        {1, WM_LBUTTONUP},     {1, WM_RBUTTONUP}, {0, WM_LBUTTONDOWN}, {0, WM_RBUTTONDOWN},
        {0, WM_LBUTTONDBLCLK}, {0, WM_MOUSEMOVE}, {0, WM_MBUTTONUP},   {7, WM_LBUTTONDOWN},
    };
    for (const Ignored& message : ignored) {
        SCOPED_TRACE("icon " + std::to_string(message.iconId) + ", mouse message " +
                     std::to_string(message.mouseMessage));
        EXPECT_TRUE(trayNotifyHandled(window, message.iconId, message.mouseMessage))
            << "not answered: a menu opened";
        EXPECT_TRUE(e2e::visible(window));
        for (HWND menu : zvtest::processWindows(product.process().id(), "#32768")) {
            EXPECT_FALSE(e2e::visible(menu)) << "a menu is open";
        }
    }

    PostMessageA(window, WmTrayNotify, 0, WM_LBUTTONUP);
    ASSERT_TRUE(zvtest::waitUntil([&] { return !e2e::visible(window); })) << "not hidden";
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Restore")));

    // Another program in front, so that coming back to the front shows.
    zvtest::ChildProcess other;
    const HWND otherWindow = zvtest::startTarget(other, zvtest::uniqueName("zv-front"));
    ASSERT_NE(otherWindow, nullptr);
    ASSERT_TRUE(zvtest::waitUntil([&] { return GetForegroundWindow() == otherWindow; }));
    // Its activation may still be on its way from the display server.
    e2e::settleForeground();
    ASSERT_EQ(GetForegroundWindow(), otherWindow);

    PostMessageA(window, WmTrayNotify, 0, WM_LBUTTONUP);
    ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); })) << "not restored";
    EXPECT_TRUE(zvtest::waitUntil([&] { return GetForegroundWindow() == window; }))
        << "foreground is " << GetForegroundWindow() << ", the program's window " << window;
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(sameRect(outerRect(window), shownAt));
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Hide")));
    closeAndExpectCodeZero();
}

TEST_F(TrayE2E, MenuListsTheCommandsInOrderFromTheIconAndFromTheWindow) {
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu(), true)) << "from the icon";
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu(), false)) << "right click";
    // A lock stored in the file names the item after what it would do next.
    e2e::ProductRun locked;
    ASSERT_NE(locked.start(quietIni({{"HideTarget", "00000100"}})), nullptr);
    EXPECT_TRUE(e2e::commandMenuReads(locked, e2e::commandMenu("Hide", "Unlock Target")));
}

std::string windowText(HWND window) {
    char buffer[4096] = "";
    const LRESULT length =
        SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

HWND waitForEditor() {
    HWND editor = nullptr;
    zvtest::waitUntil([&] {
        editor = FindWindowA("Notepad", nullptr);
        return editor != nullptr && e2e::visible(editor);
    });
    return editor;
}

TEST_F(TrayE2E, EachItemCarriesItsCommand) {
    const HWND window = start();
    ASSERT_NE(window, nullptr);
    const DWORD pid = product.process().id();

    // Items counted without the separators, as the arrow keys walk them.
    ASSERT_TRUE(e2e::chooseFromMenu(product, 1)) << "About";
    const HWND about = e2e::waitForVisible(pid, "#32770", "About");
    ASSERT_NE(about, nullptr) << "About opened no box";
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::closed(about));

    ASSERT_TRUE(e2e::chooseFromMenu(product, 2)) << "Hide";
    EXPECT_TRUE(zvtest::waitUntil([&] { return !e2e::visible(window); })) << "Hide";
    ASSERT_TRUE(e2e::chooseFromMenu(product, 2)) << "Restore";
    EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); })) << "Restore";

    ASSERT_TRUE(e2e::chooseFromMenu(product, 3)) << "Lock Target";
    EXPECT_TRUE(zvtest::waitUntil([&] { return product.iniValue("HideTarget") == "00000100"; }))
        << "HideTarget is " << product.iniValue("HideTarget");

    ASSERT_TRUE(e2e::chooseFromMenu(product, 4)) << "Options";
    const HWND options = e2e::waitForVisible(pid, "#32770", "Options");
    ASSERT_NE(options, nullptr) << "Options opened no dialog";
    PostMessageA(options, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::closed(options));

    ASSERT_TRUE(e2e::chooseFromMenu(product, 5)) << "WinSpy";
    const HWND picker = e2e::waitForVisible(pid, "#32770", "WinSpy");
    ASSERT_NE(picker, nullptr) << "WinSpy opened no dialog";
    PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::closed(picker));

    // The prefix opens INI files in Notepad.
    ASSERT_TRUE(e2e::chooseFromMenu(product, 6)) << "Edit config";
    const HWND editor = waitForEditor();
    ASSERT_NE(editor, nullptr) << "Edit config opened no editor";
    const HWND edit = FindWindowExA(editor, nullptr, "Edit", nullptr);
    EXPECT_TRUE(zvtest::waitUntil([&] { return windowText(edit) == product.iniText(); }))
        << "the editor shows \"" << windowText(edit) << "\"";
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(e2e::closed(editor));
    EXPECT_TRUE(product.process().running());

    ASSERT_TRUE(e2e::chooseFromMenu(product, 7)) << "Close";
    ASSERT_TRUE(product.process().waitForExit()) << "Close did not end the program";
    EXPECT_EQ(product.process().exitCode(), 0u);
}

TEST_F(TrayE2E, AboutBoxNamesTheProgramAndItsAuthors) {
    const HWND window = start();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, CmdAbout, 0);
    const HWND box = e2e::waitForVisible(product.process().id(), "#32770", "About");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::messageText(box), AboutText);
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    EXPECT_EQ(e2e::messageButtons(box), std::vector<int>{IDOK});
    EXPECT_TRUE(e2e::boxLooksLike(box, AboutText, "About", MB_ICONINFORMATION | MB_OK))
        << "the information icon and the text as a message box shows them";

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::closed(box));
    EXPECT_TRUE(product.process().running());
    EXPECT_TRUE(e2e::visible(window));
    closeAndExpectCodeZero();
}

// --- The target lock ---

using IniMap = std::map<std::string, std::string>;

// The file's keys and values, or a map with "<error>" naming what is wrong with its shape.
IniMap parseOptions(const std::string& path) {
    IniMap keys;
    const std::vector<std::string> lines = zvtest::readLines(path);
    if (lines.empty() || lines[0] != "[Options]") {
        return {{"<error>", "no [Options] section first"}};
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t equals = lines[i].find('=');
        if (equals == std::string::npos || keys.count(lines[i].substr(0, equals)) != 0) {
            return {{"<error>", "line \"" + lines[i] + "\""}};
        }
        keys[lines[i].substr(0, equals)] = lines[i].substr(equals + 1);
    }
    return keys;
}

class LockE2E : public TrayE2E {
  protected:
    void SetUp() override {
        targetClass = zvtest::uniqueName("zv-lock-target");
        // A tool window: its own extended style must survive locking and unlocking.
        targetWindow = zvtest::startTarget(
            target, targetClass,
            {"--title", "Locked target", "--exstyle", "80", "--rect", "700", "500", "300", "150"});
        ASSERT_NE(targetWindow, nullptr);
    }

    DWORD targetExStyle() const {
        return static_cast<DWORD>(GetWindowLongA(targetWindow, GWL_EXSTYLE));
    }
    LRESULT targetAlpha() const { return SendMessageA(targetWindow, TargetQueryAlpha, 0, 0); }
    bool targetEnabled() const { return SendMessageA(targetWindow, TargetQueryEnabled, 0, 0) != 0; }

    bool locked(LRESULT alpha) const {
        return targetAlpha() == alpha && !targetEnabled() &&
               (targetExStyle() & (WS_EX_LAYERED | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW)) ==
                   (WS_EX_LAYERED | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW);
    }
    bool unlocked() const {
        return targetEnabled() && (targetExStyle() & WS_EX_LAYERED) == 0 &&
               (targetExStyle() & WS_EX_TOOLWINDOW) != 0;
    }
    std::string describeTarget() const {
        char text[96];
        std::snprintf(text, sizeof text, "target: extended style %08lX, alpha %ld, enabled %d",
                      targetExStyle(), static_cast<long>(targetAlpha()), targetEnabled() ? 1 : 0);
        return text;
    }

    zvtest::ChildProcess target;
    std::string targetClass;
    HWND targetWindow = nullptr;
};

TEST_F(LockE2E, ToggleSavesEverySettingAndLocksThenUnlocksTheTarget) {
    // A file as a user might write it: unpadded numbers, keys missing.
    const e2e::IniKeys handWritten = {{"level1", "500"},
                                      {"ClassName", targetClass},
                                      {"WindowName", "Locked target"},
                                      {"x", "300"},
                                      {"y", "600"},
                                      {"DriveLetter", "C:\\"},
                                      {"UpdateInterval", "60000"}};
    const HWND window = start(handWritten);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(zvtest::waitUntil([&] { return unlocked(); })) << describeTarget();
    // Edited after the start, and the window moved: the toggle saves what it holds in
    // memory, the position as it was read.
    ASSERT_TRUE(
        zvtest::writeIni(product.iniPath(), e2e::withKeys(handWritten, {{"level2", "777"}})));
    SetWindowPos(window, nullptr, 333, 444, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    IniMap expected = {
        {"level1", "00000500"},          {"level2", "00000000"},     {"ClassName", targetClass},
        {"WindowName", "Locked target"}, {"x", "00000300"},          {"y", "00000600"},
        {"frequency", "00000000"},       {"key", "00000000"},        {"DriveLetter", "C:\\"},
        {"CloseTarget", "00000000"},     {"ShutDownPC", "00000000"}, {"UpdateInterval", "00060000"},
        {"HideTarget", "00000100"}};
    PostMessageA(window, WM_COMMAND, CmdLockTarget, 0);
    EXPECT_TRUE(zvtest::waitUntil([&] { return parseOptions(product.iniPath()) == expected; }))
        << product.iniText();
    EXPECT_TRUE(zvtest::waitUntil([&] { return locked(100); })) << describeTarget();
    EXPECT_TRUE(IsWindowEnabled(targetWindow) == FALSE);
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Hide", "Unlock Target")));

    // Something else in front, so that the unlock's return to the front shows.
    SetForegroundWindow(window);
    e2e::settleForeground();
    ASSERT_EQ(GetForegroundWindow(), window);
    PostMessageA(window, WM_COMMAND, CmdLockTarget, 0);
    expected["HideTarget"] = "00000000";
    EXPECT_TRUE(zvtest::waitUntil([&] { return parseOptions(product.iniPath()) == expected; }))
        << product.iniText();
    EXPECT_TRUE(zvtest::waitUntil([&] { return unlocked(); })) << describeTarget();
    EXPECT_TRUE(zvtest::waitUntil([&] { return GetForegroundWindow() == targetWindow; }))
        << "the unlocked target is not in front";
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Hide", "Lock Target")));

    closeAndExpectCodeZero();
    EXPECT_EQ(product.iniValue("x"), "00000333") << "the exit stores the current position";
    EXPECT_TRUE(target.running()) << "the target was closed";
}

TEST_F(LockE2E, LockStoredInTheFileTakesEffectAtStart) {
    const HWND window = start(quietIni({{"ClassName", targetClass},
                                        {"WindowName", "NULL"},
                                        {"HideTarget", "00000456"}})); // alpha 456 & 255 = 200
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(zvtest::waitUntil([&] { return locked(200); })) << describeTarget();
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Hide", "Unlock Target")));

    PostMessageA(window, WM_COMMAND, CmdLockTarget, 0);
    EXPECT_TRUE(zvtest::waitUntil([&] { return unlocked(); })) << describeTarget();
    EXPECT_EQ(product.iniValue("HideTarget"), "00000000") << "the earlier alpha is gone";
    closeAndExpectCodeZero();
}

} // namespace
