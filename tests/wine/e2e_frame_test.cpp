// The program's main window: what it is, where it opens, how it hides, and what the
// program remembers of its position when it ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using e2e::padded;

constexpr int WindowWidth = 250;
constexpr int WindowHeight = 145;

// Every run here watches C:, which always exists, and never ticks during the test.
e2e::IniKeys quietIni(const e2e::IniKeys& changes = {}) {
    return e2e::withKeys(e2e::baseIni(), e2e::withKeys({{"UpdateInterval", "00060000"}}, changes));
}

POINT topLeft(HWND window) {
    const RECT rect = zvtest::windowRectOnScreen(window);
    return {rect.left, rect.top};
}

std::string text(HWND window) {
    char buffer[256] = "";
    const LRESULT length =
        SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

enum class Ending { CloseCommand, WmClose, SysCommandClose };

const char* name(Ending ending) {
    switch (ending) {
    case Ending::CloseCommand:
        return "the Close command";
    case Ending::WmClose:
        return "WM_CLOSE";
    case Ending::SysCommandClose:
        return "SC_CLOSE (caption button, Alt+F4)";
    }
    return "?";
}

void end(HWND mainWindow, Ending ending) {
    switch (ending) {
    case Ending::CloseCommand:
        PostMessageA(mainWindow, WM_COMMAND, CmdClose, 0);
        break;
    case Ending::WmClose:
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        break;
    case Ending::SysCommandClose:
        PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// Ends the program and checks that it left with exit code 0.
void endAndExpectCodeZero(e2e::ProductRun& product, Ending ending) {
    end(product.mainWindow(), ending);
    ASSERT_TRUE(product.process().waitForExit()) << "still running after " << name(ending);
    EXPECT_EQ(product.process().exitCode(), 0u) << "after " << name(ending);
}

class FrameE2E : public ::testing::Test {
  protected:
    HWND startVisible(const e2e::IniKeys& keys, e2e::ProductRun::Options options = {}) {
        const HWND window = product.start(keys, options);
        EXPECT_NE(window, nullptr) << "the program did not start";
        if (window != nullptr) {
            EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }))
                << "the main window was not shown";
        }
        return window;
    }

    e2e::ProductRun product;
};

TEST_F(FrameE2E, MainWindowIsASmallFixedTopmostWindow) {
    const HWND window = startVisible(quietIni({{"x", "00000300"}, {"y", "00000500"}}));
    ASSERT_NE(window, nullptr);

    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "ZEMBROVALE");
    EXPECT_EQ(text(window), e2e::Title);
    const RECT rect = zvtest::windowRectOnScreen(window);
    EXPECT_EQ(rect.right - rect.left, WindowWidth);
    EXPECT_EQ(rect.bottom - rect.top, WindowHeight);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 500);

    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX))
        << std::hex << "style " << style;
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD), 0u)
        << std::hex << "style " << style;
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0u) << std::hex << "extended style " << exStyle;
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE),
              static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
    EXPECT_EQ(GetMenu(window), nullptr) << "a menu bar";
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

    endAndExpectCodeZero(product, Ending::CloseCommand);
}

struct PositionCase {
    const char* what;
    bool withFile;
    const char* x; // as stored before the start
    const char* y;
    long left; // where the window must open
    long top;
};

TEST_F(FrameE2E, OpensWhereTheFileSaysAndStoresThatPlaceAgain) {
    const PositionCase cases[] = {
        {"no file", false, "", "", 0, 0},
        {"padded", true, "00000120", "00000080", 120, 80},
        {"left of and above the screen", true, "-0000400", "-300", -400, -300},
        {"beyond the screen", true, "3000", "2000", 3000, 2000},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        e2e::ProductRun run;
        e2e::ProductRun::Options options;
        options.writeIni = c.withFile;
        const HWND window = run.start(quietIni({{"x", c.x}, {"y", c.y}}), options);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
        const POINT opened = topLeft(window);
        EXPECT_EQ(opened.x, c.left);
        EXPECT_EQ(opened.y, c.top);

        endAndExpectCodeZero(run, Ending::CloseCommand);
        if (c.withFile) {
            EXPECT_EQ(run.iniValue("x"), padded(c.left));
            EXPECT_EQ(run.iniValue("y"), padded(c.top));
        } else {
            // Only the position is written, into a file of its own.
            EXPECT_EQ(run.iniText(), "[Options]\r\nx=00000000\r\ny=00000000\r\n");
        }
    }
}

enum class Move { SetWindowPos, Drag };

struct MoveCase {
    Move move;
    Ending ending;
};

TEST_F(FrameE2E, StoresWhereTheWindowWasMovedWhateverWayItCloses) {
    const MoveCase cases[] = {
        {Move::SetWindowPos, Ending::CloseCommand},
        {Move::SetWindowPos, Ending::WmClose},
        {Move::SetWindowPos, Ending::SysCommandClose},
        {Move::Drag, Ending::CloseCommand},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(std::string(c.move == Move::Drag ? "dragged" : "SetWindowPos") +
                     ", ended by " + name(c.ending));
        e2e::ProductRun run;
        const e2e::IniKeys keys = quietIni({{"x", "00000300"}, {"y", "00000600"}});
        const HWND window = run.start(keys);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));

        POINT expected{};
        if (c.move == Move::SetWindowPos) {
            SetWindowPos(window, nullptr, 417, 523, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            expected = {417, 523};
        } else {
            // Any point of the client area drags the window.
            const RECT client = zvtest::clientRectOnScreen(window);
            const POINT from = {client.left + 120, client.top + 60};
            e2e::dragMouse(from, {from.x + 150, from.y - 110});
            // Over only once its loop has ended: a quit posted while the loop still runs
            // would be taken by that loop.
            ASSERT_TRUE(zvtest::waitUntil([&] {
                return topLeft(window).x != 300 && !e2e::inMoveLoop(window);
            })) << "the drag did not move the window, or did not end";
            POINT pointer{};
            GetCursorPos(&pointer);
            expected = {300 + pointer.x - from.x, 600 + pointer.y - from.y};
        }
        ASSERT_TRUE(zvtest::waitUntil([&] {
            const POINT now = topLeft(window);
            return now.x == expected.x && now.y == expected.y;
        })) << "at "
            << topLeft(window).x << "," << topLeft(window).y << ", expected " << expected.x << ","
            << expected.y;

        endAndExpectCodeZero(run, c.ending);
        EXPECT_EQ(run.iniValue("x"), padded(expected.x));
        EXPECT_EQ(run.iniValue("y"), padded(expected.y));
        EXPECT_EQ(run.iniValue("level1"), "00000000") << "only the position is written";
    }
}

enum class HideBy { Minimize, SizeMessage, IconClick };

struct HiddenCase {
    HideBy hide;
    Ending ending;
    const char* what;
};

void hide(HWND window, HideBy how) {
    switch (how) {
    case HideBy::Minimize:
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case HideBy::SizeMessage:
        PostMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case HideBy::IconClick:
        PostMessageA(window, WmTrayNotify, 0, WM_LBUTTONUP);
        break;
    }
}

TEST_F(FrameE2E, ClosingWhileHiddenLeavesTheFileAlone) {
    const HiddenCase cases[] = {
        {HideBy::Minimize, Ending::CloseCommand, "minimized, then Close"},
        {HideBy::IconClick, Ending::CloseCommand, "hidden from the icon, then Close"},
        {HideBy::SizeMessage, Ending::WmClose, "WM_SIZE minimized, then WM_CLOSE"},
    };
    for (const HiddenCase& c : cases) {
        SCOPED_TRACE(c.what);
        e2e::ProductRun run;
        // Unpadded as if edited by hand: any rewrite would show.
        const HWND window = run.start(quietIni({{"x", "250"}, {"y", "640"}}));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
        const std::string before = run.iniText();
        SetWindowPos(window, nullptr, 480, 520, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        hide(window, c.hide);
        ASSERT_TRUE(zvtest::waitUntil([&] { return !e2e::visible(window); }));

        endAndExpectCodeZero(run, c.ending);
        EXPECT_EQ(run.iniText(), before);
    }
}

TEST_F(FrameE2E, MinimizingHidesTheWindowAndTheMenuOffersRestore) {
    for (HideBy how : {HideBy::Minimize, HideBy::SizeMessage}) {
        SCOPED_TRACE(how == HideBy::Minimize ? "SC_MINIMIZE" : "WM_SIZE SIZE_MINIMIZED");
        e2e::ProductRun run;
        const HWND window = run.start(quietIni({{"x", "00000300"}, {"y", "00000600"}}));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
        // Other size types change nothing.
        SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(244, 120));
        SendMessageA(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(244, 120));
        EXPECT_TRUE(e2e::visible(window));
        EXPECT_TRUE(e2e::commandMenuReads(run, e2e::commandMenu("Hide")));

        hide(window, how);
        ASSERT_TRUE(zvtest::waitUntil([&] { return !e2e::visible(window); }))
            << "still shown after minimizing";
        EXPECT_TRUE(e2e::commandMenuReads(run, e2e::commandMenu("Restore")));

        ASSERT_TRUE(e2e::chooseFromMenu(run, 2)) << "Restore";
        EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }))
            << "Restore did not show the window";
        EXPECT_FALSE(IsIconic(window));
        EXPECT_EQ(topLeft(window).x, 300);
        EXPECT_EQ(topLeft(window).y, 600);
        EXPECT_TRUE(e2e::commandMenuReads(run, e2e::commandMenu("Hide")));
        endAndExpectCodeZero(run, Ending::CloseCommand);
    }
}

TEST_F(FrameE2E, StartedMinimizedGoesStraightToTheNotificationArea) {
    e2e::ProductRun::Options options;
    options.showState = SW_SHOWMINNOACTIVE;
    const HWND window = product.start(quietIni({{"x", "00000310"}, {"y", "00000610"}}), options);
    ASSERT_NE(window, nullptr);
    // The menu answers only once start-up is over.
    EXPECT_TRUE(e2e::commandMenuReads(product, e2e::commandMenu("Restore")));
    EXPECT_FALSE(e2e::visible(window));

    PostMessageA(window, WmTrayNotify, 0, WM_LBUTTONUP);
    ASSERT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(topLeft(window).x, 310);
    EXPECT_EQ(topLeft(window).y, 610);
    endAndExpectCodeZero(product, Ending::WmClose);
    EXPECT_EQ(product.iniValue("x"), "00000310");
}

} // namespace
