#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "tuner/tuner_meter.h"
#include "ui/status_panel.h"

namespace {

using Calls = std::vector<std::string>;
WindowHandle const mainWindow = reinterpret_cast<WindowHandle>(0x1234);

class StatusPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.DriveLetter, "D:\\");
        settings.level1 = 500;
        settings.level2 = 100;
        alarmState = AlarmState{};
        driveFailureReported = false;
        monitorTimer = 1;
        signalLevel = 0;
        std::strcpy(LevelText, "N/A");
    }

    // The one draw made at left, top in the last paint.
    static const fakeui::Draw& drawAt(std::int32_t left, std::int32_t top) {
        const fakeui::Draw* found = nullptr;
        for (const fakeui::Draw& draw : fakeui::draws) {
            if (draw.left == left && draw.top == top) {
                EXPECT_EQ(found, nullptr) << "two draws at " << left << "," << top;
                found = &draw;
            }
        }
        static const fakeui::Draw none{"<nothing drawn>", 0, 0, 0, 0, 0, 0, 0};
        return found != nullptr ? *found : none;
    }
};

TEST_F(StatusPanelTest, FirstPaintDrawsEveryTextInOrderWithItsColour) {
    fake::freeMegabytes = 500;
    StatusPanel::paint(mainWindow);
    EXPECT_EQ(fake::calls, (Calls{"BeginPaint #1",
                                  "GetClientRect",
                                  "SetTextColor FFFFFF",
                                  "SetBkColor 000000",
                                  "DrawTextA 10,10 Number of Free Mb  = ",
                                  "DrawTextA 10,30 Critical Level #1       = ",
                                  "DrawTextA 10,50 Critical Level #2       = ",
                                  "DrawTextA 10,70 Target Status           : ",
                                  "DrawTextA 10,90 Level ",
                                  "DrawTextA 210,90 N/A",
                                  "SetTextColor 00FF00",
                                  "GetDiskFreeSpaceA D:\\",
                                  "DrawTextA 160,10 00000500",
                                  "SetTextColor FFFF00",
                                  "DrawTextA 160,30 00000500",
                                  "SetTextColor FF9632",
                                  "DrawTextA 160,50 00000100",
                                  "SetTextColor 648C8C",
                                  "DrawTextA 160,70 Inactive",
                                  "EndPaint #1"}));
    // The blanks line the labels up; their counts are part of the look.
    EXPECT_EQ(fakeui::draws[0].text.size(), 21u);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(fakeui::draws[row].text.size(), 26u);
    }
    for (const fakeui::Draw& draw : fakeui::draws) {
        EXPECT_EQ(draw.backColour, 0x000000u) << draw.text;
        EXPECT_EQ(draw.right, fakeui::clientRight) << draw.text;
        EXPECT_EQ(draw.bottom, fakeui::clientBottom) << draw.text;
    }
    EXPECT_EQ(drawAt(210, 90).textColour, 0xFFFFFFu);
}

TEST_F(StatusPanelTest, AlarmStateAndSignalLevelPickTheColours) {
    const struct {
        bool belowLevel1, targetPresent;
        std::int32_t signal;
        const char* levelText;
        std::uint32_t freeColour, levelColour;
        const char* status;
        std::uint32_t statusColour;
    } cases[] = {
        {false, false, 0, "N/A", 0x00FF00, 0xFFFFFF, "Inactive", 0x648C8C},
        {true, true, 0, "00", 0xFF0000, 0xFFFFFF, "Active", 0x00FF00},
        {false, true, 39, "39", 0x00FF00, 0xFFFF00, "Active", 0x00FF00},
        {true, false, 40, "40", 0xFF0000, 0x00FF00, "Inactive", 0x648C8C},
        // Compared unsigned: a negative level counts as high.
        {false, false, -5, "-5", 0x00FF00, 0x00FF00, "Inactive", 0x648C8C},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        fakeui::reset();
        alarmState.belowLevel1 = c.belowLevel1;
        alarmState.targetPresent = c.targetPresent;
        signalLevel = c.signal;
        std::strcpy(LevelText, c.levelText);
        StatusPanel::paint(mainWindow);
        EXPECT_EQ(drawAt(210, 90).text, c.levelText);
        EXPECT_EQ(fakeui::rgb(drawAt(210, 90).textColour), fakeui::rgb(c.levelColour));
        EXPECT_EQ(fakeui::rgb(drawAt(160, 10).textColour), fakeui::rgb(c.freeColour));
        EXPECT_EQ(drawAt(160, 70).text, c.status);
        EXPECT_EQ(fakeui::rgb(drawAt(160, 70).textColour), fakeui::rgb(c.statusColour));
    }
}

TEST_F(StatusPanelTest, NumbersAreZeroPaddedAndWideOnesDrawnWhole) {
    const struct {
        std::uint32_t free;
        std::int32_t level1, level2;
        const char *freeText, *level1Text, *level2Text;
    } cases[] = {
        {500, -20, 0, "00000500", "-0000020", "00000000"},
        // Wider than eight characters: drawn whole, the window edge clips them; the
        // number field has room for any 32-bit value, so nothing is written past it.
        {100000000, 99999999, -10000000, "100000000", "99999999", "-10000000"},
        {UINT32_MAX, INT32_MIN, INT32_MAX, "4294967295", "-2147483648", "2147483647"},
        // Free space is a count: the top bit set is not a negative number.
        {0x80000000u, 0, 0, "2147483648", "00000000", "00000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.freeText);
        fakeui::reset();
        fake::freeMegabytes = c.free;
        settings.level1 = c.level1;
        settings.level2 = c.level2;
        StatusPanel::paint(mainWindow);
        EXPECT_EQ(drawAt(160, 10).text, c.freeText);
        EXPECT_EQ(drawAt(160, 30).text, c.level1Text);
        EXPECT_EQ(drawAt(160, 50).text, c.level2Text);
        EXPECT_LT(std::strlen(NumberText), static_cast<std::size_t>(NumberTextSize));
    }
}

TEST_F(StatusPanelTest, FailedMeasurementSkipsOnlyTheFreeSpaceNumber) {
    fake::driveFails = true;
    StatusPanel::paint(mainWindow);
    const Calls tail(fake::calls.begin() + 10, fake::calls.end());
    EXPECT_EQ(tail, (Calls{"SetTextColor 00FF00", "GetDiskFreeSpaceA D:\\", "KillTimer 1",
                           "MessageBoxA drive warning", "SendMessageA WM_DESTROY",
                           "SetTextColor FFFF00", "DrawTextA 160,30 00000500",
                           "SetTextColor FF9632", "DrawTextA 160,50 00000100",
                           "SetTextColor 648C8C", "DrawTextA 160,70 Inactive", "EndPaint #1"}));
}

TEST_F(StatusPanelTest, RepaintUnderTheDriveWarningNeitherWarnsAgainNorMixesPaints) {
    fake::driveFails = true;
    // The warning's modal loop repaints the panel while the first paint is still open.
    StatusPanel::paint(mainWindow);
    std::size_t warning = 0;
    while (fake::calls[warning] != "MessageBoxA drive warning") {
        ++warning;
    }
    fakeui::reset();
    fake::driveFails = true;
    driveFailureReported = false;
    fake::onCall[warning] = [] { StatusPanel::paint(mainWindow); };
    StatusPanel::paint(mainWindow);

    long boxes = 0;
    long destroys = 0;
    for (const std::string& call : fake::calls) {
        boxes += call == "MessageBoxA drive warning";
        destroys += call == "SendMessageA WM_DESTROY";
    }
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(destroys, 1);
    // The inner paint ends its own paint, then the outer one ends with its own record.
    const auto inner = std::find(fake::calls.begin(), fake::calls.end(), "EndPaint #2");
    ASSERT_NE(inner, fake::calls.end());
    EXPECT_EQ(fake::calls.back(), "EndPaint #1");
    EXPECT_LT(inner - fake::calls.begin(),
              std::find(fake::calls.begin(), fake::calls.end(), "SendMessageA WM_DESTROY") -
                  fake::calls.begin());
}

} // namespace
