#include <windows.h>

#include "monitor/monitor_platform.h"
#include "monitor/monotonic_clock.h"
#include "ui/history_chart.h"
#include "ui/history_platform.h"
#include "ui/history_view.h"
#include "ui/window_class.h"
#include "ui/window_drag.h"

namespace {

using namespace HistoryChart;

constexpr const char* HistoryClass = "ZvHistory";
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

static_assert(Left == DT_LEFT && Centre == DT_CENTER && Right == DT_RIGHT, "text alignment");
static_assert(sizeof(Point) == sizeof(POINT) && sizeof(Rect) == sizeof(RECT),
              "the layout goes to the platform as it is");

HWND historyWindow;

void drawChart(HDC dc) {
    build(MonotonicClock::extend(tickCount()), historyLocalSecondOfDay());
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DC_PEN));
    const HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (int i = 0; i < layout.count; ++i) {
        Item& item = layout.items[i];
        RECT* box = reinterpret_cast<RECT*>(&item.box);
        if (item.draw == Fill) {
            SetDCBrushColor(dc, item.colour);
            FillRect(dc, box, brush);
        } else {
            SetTextColor(dc, item.colour);
            DrawTextA(dc, item.text, -1, box, DT_SINGLELINE | DT_NOCLIP | item.draw);
        }
    }
    SetDCPenColor(dc, RGB(0, 255, 0)); // the panel's green
    Polyline(dc, reinterpret_cast<const POINT*>(layout.curve), layout.points);
}

// The window's composited style has the system paint it off screen and show the result in
// one piece, so an open window never flickers.
void paint(HWND window) {
    PAINTSTRUCT ps;
    drawChart(BeginPaint(window, &ps));
    EndPaint(window, &ps);
}

// Hidden rather than destroyed: the next "History" shows it where the user left it.
void close(HWND window) {
    ShowWindow(window, SW_HIDE);
    HistoryView::closed();
}

LRESULT CALLBACK HistoryWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        dragWindow(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) {
            break;
        }
        [[fallthrough]];
    case WM_CLOSE:
        close(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A tool window of the client size the chart is laid out for.
HWND createHistoryWindow() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    registerWindowClass(HistoryClass, HistoryWindow, instance, nullptr,
                        LoadCursorA(nullptr, IDC_ARROW), nullptr);
    const int frame = 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_COMPOSITED, HistoryClass, "History", Style,
                           CW_USEDEFAULT, 0, Width + frame,
                           Height + frame + GetSystemMetrics(SM_CYSMCAPTION), nullptr, nullptr,
                           instance, nullptr);
}

} // namespace

bool historyShowWindow() {
    if (historyWindow == nullptr) {
        historyWindow = createHistoryWindow();
        if (historyWindow == nullptr) {
            return false;
        }
    }
    ShowWindow(historyWindow, SW_SHOW);
    SetForegroundWindow(historyWindow);
    return true;
}

std::uint32_t historyLocalSecondOfDay() {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return (local.wHour * 60u + local.wMinute) * 60u + local.wSecond;
}

// Never with no window: InvalidateRect would redraw the whole desktop.
void historyInvalidate() {
    if (historyWindow != nullptr) {
        InvalidateRect(historyWindow, nullptr, FALSE);
    }
}
