#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"

#include <cstdio>

#include "ui/panel_platform.h"

namespace fakeui {

std::vector<Draw> draws;
std::int32_t clientRight, clientBottom;

namespace {

int paintsBegun = 0;
std::uint32_t textColour;
std::uint32_t backColour;

// COLORREF (0x00BBGGRR) to the readable 0xRRGGBB.
std::uint32_t readable(std::uint32_t colour) {
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

int paintOf(const PanelPaint& paint) {
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(paint.deviceContext));
}

} // namespace

std::string rgb(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", colour);
    return text;
}

void resetPanel() {
    draws.clear();
    clientRight = 244;
    clientBottom = 121;
    paintsBegun = 0;
    // A fresh device context draws black on white.
    textColour = 0x000000;
    backColour = 0xFFFFFF;
}

} // namespace fakeui

using namespace fakeui;

void beginPanelPaint(WindowHandle window, PanelPaint* paint) {
    paint->window = window;
    paint->deviceContext = reinterpret_cast<void*>(static_cast<std::uintptr_t>(++paintsBegun));
    fake::calls.push_back("BeginPaint #" + std::to_string(paintsBegun));
}

void panelClientRect(const PanelPaint&, PanelRect* rect) {
    fake::calls.push_back("GetClientRect");
    *rect = {0, 0, clientRight, clientBottom};
}

void setPanelTextColour(const PanelPaint&, std::uint32_t colour) {
    textColour = readable(colour);
    fake::calls.push_back("SetTextColor " + rgb(textColour));
}

void setPanelBackColour(const PanelPaint&, std::uint32_t colour) {
    backColour = readable(colour);
    fake::calls.push_back("SetBkColor " + rgb(backColour));
}

void drawPanelText(const PanelPaint& paint, const char* text, const PanelRect& rect) {
    draws.push_back({text, rect.left, rect.top, rect.right, rect.bottom, textColour, backColour,
                     paintOf(paint)});
    fake::calls.push_back("DrawTextA " + std::to_string(rect.left) + "," +
                          std::to_string(rect.top) + " " + text);
}

void endPanelPaint(const PanelPaint& paint) {
    fake::calls.push_back("EndPaint #" + std::to_string(paintOf(paint)));
}
