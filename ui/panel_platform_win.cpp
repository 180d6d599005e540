#include <windows.h>

#include "ui/panel_platform.h"

static_assert(sizeof(PAINTSTRUCT) <= sizeof(PanelPaint::record), "paint record room");
static_assert(alignof(PAINTSTRUCT) <= 8, "paint record alignment");
static_assert(panelColour(255, 150, 50) == RGB(255, 150, 50), "colour word layout");

namespace {

PAINTSTRUCT* record(const PanelPaint& paint) {
    return reinterpret_cast<PAINTSTRUCT*>(const_cast<unsigned char*>(paint.record));
}

HDC deviceContext(const PanelPaint& paint) {
    return static_cast<HDC>(paint.deviceContext);
}

} // namespace

void beginPanelPaint(WindowHandle window, PanelPaint* paint) {
    paint->window = window;
    paint->deviceContext = BeginPaint(static_cast<HWND>(window), record(*paint));
}

void panelClientRect(const PanelPaint& paint, PanelRect* rect) {
    RECT client;
    GetClientRect(static_cast<HWND>(paint.window), &client);
    *rect = {client.left, client.top, client.right, client.bottom};
}

void setPanelTextColour(const PanelPaint& paint, std::uint32_t colour) {
    SetTextColor(deviceContext(paint), colour);
}

void setPanelBackColour(const PanelPaint& paint, std::uint32_t colour) {
    SetBkColor(deviceContext(paint), colour);
}

void drawPanelText(const PanelPaint& paint, const char* text, const PanelRect& rect) {
    RECT box = {rect.left, rect.top, rect.right, rect.bottom};
    DrawTextA(deviceContext(paint), text, -1, &box, DT_SINGLELINE);
}

void endPanelPaint(const PanelPaint& paint) {
    EndPaint(static_cast<HWND>(paint.window), record(paint));
}
