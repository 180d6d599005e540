#include "ui/status_panel.h"

#include "app/main_window.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "settings/number_text.h"
#include "settings/settings.h"
#include "tuner/tuner_meter.h"
#include "ui/panel_platform.h"

namespace {

constexpr std::uint32_t White = panelColour(255, 255, 255);
constexpr std::uint32_t Black = panelColour(0, 0, 0);
constexpr std::uint32_t Red = panelColour(255, 0, 0);
constexpr std::uint32_t Green = panelColour(0, 255, 0);
constexpr std::uint32_t Yellow = panelColour(255, 255, 0);
constexpr std::uint32_t Orange = panelColour(255, 150, 50);
constexpr std::uint32_t GreyTeal = panelColour(100, 140, 140);

constexpr std::int32_t LabelLeft = 10;
constexpr std::int32_t ValueLeft = 160;
constexpr std::int32_t LevelTextLeft = 210;

struct Label {
    std::int32_t top;
    const char* text;
};

// The blanks line the equals signs up in the default font; the values drawn at 160
// paint over whatever part of a label reaches that far.
constexpr Label Labels[] = {
    {10, "Number of Free Mb  = "},
    {30, "Critical Level #1       = "},
    {50, "Critical Level #2       = "},
    {70, "Target Status           : "},
    {90, "Level "},
};

void drawAt(const PanelPaint& paint, PanelRect& rect, std::int32_t left, std::int32_t top,
            const char* text) {
    rect.left = left;
    rect.top = top;
    drawPanelText(paint, text, rect);
}

void drawSignalLevel(const PanelPaint& paint, PanelRect& rect) {
    switch (levelColour(signalLevel)) {
    case LevelColour::Green:
        setPanelTextColour(paint, Green);
        break;
    case LevelColour::Yellow:
        setPanelTextColour(paint, Yellow);
        break;
    case LevelColour::Unchanged:
        break;
    }
    drawAt(paint, rect, LevelTextLeft, 90, LevelText);
}

void drawFreeSpace(const PanelPaint& paint, PanelRect& rect) {
    // The colour is the last tick's verdict; the number is measured now.
    setPanelTextColour(paint, alarmState.belowLevel1 ? Red : Green);
    const FreeMegabytes free = FreeSpaceProbe(paint.window, monitorTimer);
    if (!free.valid) {
        return;
    }
    drawAt(paint, rect, ValueLeft, 10, formatCount(free.megabytes));
}

} // namespace

namespace StatusPanel {

void paint(WindowHandle mainWindow) {
    PanelPaint paint;
    beginPanelPaint(mainWindow, &paint);
    PanelRect rect;
    panelClientRect(paint, &rect);

    setPanelTextColour(paint, White);
    setPanelBackColour(paint, Black);
    for (const Label& label : Labels) {
        drawAt(paint, rect, LabelLeft, label.top, label.text);
    }
    drawSignalLevel(paint, rect);
    drawFreeSpace(paint, rect);

    setPanelTextColour(paint, Yellow);
    drawAt(paint, rect, ValueLeft, 30, formatNumber(settings.level1));
    setPanelTextColour(paint, Orange);
    drawAt(paint, rect, ValueLeft, 50, formatNumber(settings.level2));

    const bool present = alarmState.targetPresent;
    setPanelTextColour(paint, present ? Green : GreyTeal);
    drawAt(paint, rect, ValueLeft, 70, present ? "Active" : "Inactive");

    endPanelPaint(paint);
}

} // namespace StatusPanel
