#pragma once
#include <cstdint>

#include "core/handles.h"

// The status panel's drawing calls. panel_platform_win.cpp supplies them on Windows;
// host tests record every call to check the exact draw sequence and its colours.

struct PanelRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// One paint, from begin to end. It lives on the caller's stack, not in the program's
// state, because a paint can nest: the drive warning's modal loop repaints the panel
// while the outer paint is still open.
struct PanelPaint {
    WindowHandle window;
    void* deviceContext;
    // The platform's paint record, carried unread from begin to end.
    alignas(8) unsigned char record[80];
};

// 0x00BBGGRR, the platform's colour word.
constexpr std::uint32_t panelColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
}

void beginPanelPaint(WindowHandle window, PanelPaint* paint);
void panelClientRect(const PanelPaint& paint, PanelRect* rect);
void setPanelTextColour(const PanelPaint& paint, std::uint32_t colour);
void setPanelBackColour(const PanelPaint& paint, std::uint32_t colour);
// One terminated line, left- and top-aligned in the rectangle and clipped by it.
void drawPanelText(const PanelPaint& paint, const char* text, const PanelRect& rect);
void endPanelPaint(const PanelPaint& paint);
