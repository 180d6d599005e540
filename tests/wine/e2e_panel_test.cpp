// The status panel of the running program, read back from the screen. Each text cell must
// hold pixels of exactly its colour, and the whole client area must match the panel drawn
// by this test with the same default font (the signal bar, a control of its own, aside).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using e2e::Black;
using e2e::Green;
using e2e::InactiveTeal;
using e2e::Orange;
using e2e::Red;
using e2e::White;
using e2e::Yellow;

// The tuner's signal bar sits in the fifth row, between the label and the number.
constexpr RECT SignalBar = {55, 94, 205, 104};

struct PanelState {
    std::string freeText;
    COLORREF freeColour;
    std::string level1;
    std::string level2;
    bool active;
};

struct Cell {
    const char* name;
    RECT area; // client coordinates
    COLORREF colour;
    COLORREF wrongColour; // a colour the cell must not hold, or Black for none
};

std::vector<Cell> cellsOf(const PanelState& state) {
    // A value drawn at 160 covers the end of a longer label, so labels are looked at
    // left of it only.
    return {
        {"free space label", {10, 10, 160, 30}, White, Black},
        {"level 1 label", {10, 30, 160, 50}, White, Black},
        {"level 2 label", {10, 50, 160, 70}, White, Black},
        {"target label", {10, 70, 160, 90}, White, Black},
        {"signal label", {10, 90, 55, 110}, White, Black},
        {"signal level N/A", {210, 90, 250, 110}, White, Black},
        {"free space", {160, 10, 250, 30}, state.freeColour, state.freeColour == Red ? Green : Red},
        {"level 1", {160, 30, 250, 50}, Yellow, Black},
        {"level 2", {160, 50, 250, 70}, Orange, Black},
        {state.active ? "Active" : "Inactive",
         {160, 70, 250, 90},
         state.active ? Green : InactiveTeal,
         state.active ? InactiveTeal : Green},
    };
}

// The panel as it must look: the same texts, colours and places, drawn here.
zvtest::ScreenImage drawnPanel(int width, int height, const PanelState& state) {
    zvtest::PixelCanvas canvas(width, height);
    const HDC memory = canvas.dc();
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkColor(memory, Black);
    const auto draw = [&](int left, int top, COLORREF colour, const std::string& text) {
        RECT cell = {left, top, width, height};
        SetTextColor(memory, colour);
        DrawTextA(memory, text.c_str(), -1, &cell, DT_SINGLELINE);
    };
    draw(10, 10, White, "Number of Free Mb  = ");
    draw(10, 30, White, "Critical Level #1       = ");
    draw(10, 50, White, "Critical Level #2       = ");
    draw(10, 70, White, "Target Status           : ");
    draw(10, 90, White, "Level ");
    draw(210, 90, White, "N/A");
    draw(160, 10, state.freeColour, state.freeText);
    draw(160, 30, Yellow, state.level1);
    draw(160, 50, Orange, state.level2);
    draw(160, 70, state.active ? Green : InactiveTeal, state.active ? "Active" : "Inactive");
    return canvas.image();
}

std::string colourName(COLORREF colour) {
    char text[16];
    std::snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

class PanelE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::haveTestDrive()) {
            GTEST_SKIP() << "no test drive: run through scripts/wine-tests.sh";
        }
    }

    HWND start(const e2e::IniKeys& changes) {
        const HWND window = product.start(e2e::withKeys(
            e2e::baseIni(),
            e2e::withKeys(
                {{"DriveLetter", zvtest::testDrive()}, {"x", "00000400"}, {"y", "00000500"}},
                changes)));
        EXPECT_NE(window, nullptr) << "the program did not start";
        if (window != nullptr) {
            EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::visible(window); }));
        }
        return window;
    }

    // Waits until the client area shows `state`, then checks each cell's colours, so that a
    // failure names the cell that is wrong.
    void expectPanel(const PanelState& state) {
        const HWND window = product.mainWindow();
        RECT client{};
        GetClientRect(window, &client);
        const zvtest::ScreenImage expected = drawnPanel(client.right, client.bottom, state);
        zvtest::ScreenImage shown;
        ::testing::AssertionResult same = ::testing::AssertionSuccess();
        zvtest::waitUntil([&] {
            shown = zvtest::captureScreen(zvtest::clientRectOnScreen(window));
            same = e2e::sameImage(shown, expected, SignalBar);
            return static_cast<bool>(same);
        });
        EXPECT_TRUE(same) << "free space " << state.freeText << " in "
                          << colourName(state.freeColour) << ", target "
                          << (state.active ? "Active" : "Inactive");
        for (const Cell& cell : cellsOf(state)) {
            EXPECT_GT(shown.count(cell.colour, cell.area), 0)
                << cell.name << ": no pixel in " << colourName(cell.colour);
            if (cell.wrongColour != Black) {
                EXPECT_EQ(shown.count(cell.wrongColour, cell.area), 0)
                    << cell.name << ": pixels in " << colourName(cell.wrongColour);
            }
        }
        for (POINT gap : {POINT{3, 3}, POINT{client.right - 2, 3}, POINT{3, client.bottom - 2},
                          POINT{client.right - 2, client.bottom - 2}}) {
            EXPECT_EQ(shown.at(gap.x, gap.y), Black)
                << "background at " << gap.x << "," << gap.y << " is "
                << colourName(shown.at(gap.x, gap.y));
        }
    }

    e2e::ProductRun product;
};

TEST_F(PanelE2E, FirstPaintBeforeAnyTick) {
    // No tick for a minute: all the panel shows comes from the first paint.
    ASSERT_NE(start({{"level1", "-20"}, {"level2", "500"}, {"UpdateInterval", "00060000"}}),
              nullptr);
    expectPanel({e2e::padded(e2e::testDriveFreeMegabytes()), Green, "-0000020", "00000500", false});
}

TEST_F(PanelE2E, ColoursFollowTheAlarmAndTheTarget) {
    const std::uint32_t free = e2e::testDriveFreeMegabytes();
    ASSERT_GE(free, 30u) << "the test drive is too full";
    const std::string targetClass = zvtest::uniqueName("zv-panel-target");
    const long level1 = static_cast<long>(free) - 3;
    const long level2 = static_cast<long>(free) - 20;
    ASSERT_NE(start({{"level1", std::to_string(level1)},
                     {"level2", std::to_string(level2)},
                     {"ClassName", targetClass},
                     {"UpdateInterval", "00000050"}}),
              nullptr);
    const std::string l1 = e2e::padded(level1);
    const std::string l2 = e2e::padded(level2);
    {
        SCOPED_TRACE("above level 1, no target");
        expectPanel({e2e::padded(free), Green, l1, l2, false});
    }

    e2e::DriveFiller filler("zv-panel.bin");
    ASSERT_TRUE(filler.fill(6));
    {
        SCOPED_TRACE("below level 1, no target");
        expectPanel({e2e::padded(free - 6), Red, l1, l2, false});
    }

    zvtest::ChildProcess target;
    ASSERT_NE(zvtest::startTarget(target, targetClass, {"--rect", "60", "600", "300", "150"}),
              nullptr);
    {
        SCOPED_TRACE("below level 1, target running");
        expectPanel({e2e::padded(free - 6), Red, l1, l2, true});
    }

    filler.release();
    {
        SCOPED_TRACE("above level 1 again, target running");
        expectPanel({e2e::padded(free), Green, l1, l2, true});
    }
}

} // namespace
