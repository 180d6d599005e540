// Cost of one monitoring tick with its repaint, against the bare platform calls such a
// tick cannot do without. Both run in one process, on one window, in alternating rounds,
// so drift of the machine falls on both alike.
//
//   tick_bench.exe [ticks-per-round] [rounds]
//
// Prints one "result ..." line per case (key=value pairs, times in microseconds per tick).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "monitor/history.h"
#include "monitor/room_making.h"
#include "settings/settings.h"
#include "ui/history_view.h"
#include "ui/status_panel.h"
#include "ui/tray_menu.h"

namespace {

constexpr const char* PanelClass = "ZvBenchPanel";
constexpr const char* TargetClass = "ZvBenchTarget";
constexpr const char* TargetTitle = "Zembrovale bench target";
constexpr const char* AbsentClass = "ZvBenchNoSuchTarget";
constexpr const char* Drive = "C:\\";
constexpr int MaxRounds = 128;

enum class Painter { Product, Floor };
Painter painter = Painter::Product;

struct FloorLabel {
    int top;
    const char* text;
};

constexpr FloorLabel FloorLabels[] = {
    {10, "Number of Free Mb  = "},
    {30, "Critical Level #1       = "},
    {50, "Critical Level #2       = "},
    {70, "Target Status           : "},
    {90, "Level "},
};

// Free megabytes the way any caller of the platform must work them out.
DWORD floorFreeMegabytes() {
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD clusters = 0;
    GetDiskFreeSpaceA(Drive, &sectors, &bytes, &clusters, nullptr);
    return static_cast<DWORD>(static_cast<unsigned long long>(sectors * bytes) * clusters /
                              1048576u);
}

void floorDraw(HDC dc, RECT& box, int left, int top, const char* text) {
    box.left = left;
    box.top = top;
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE);
}

// The panel's paint reduced to its platform calls: the same texts, colours and count of
// calls, with nothing of the program's own logic between them.
void floorPaint(HWND window) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    RECT box;
    GetClientRect(window, &box);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    for (const FloorLabel& label : FloorLabels) {
        floorDraw(dc, box, 10, label.top, label.text);
    }
    floorDraw(dc, box, 210, 90, "N/A");
    SetTextColor(dc, alarmState.belowLevel1 ? RGB(255, 0, 0) : RGB(0, 255, 0));
    char number[16];
    wsprintfA(number, "%08li", static_cast<long>(floorFreeMegabytes()));
    floorDraw(dc, box, 160, 10, number);
    SetTextColor(dc, RGB(255, 255, 0));
    wsprintfA(number, "%08li", static_cast<long>(settings.level1));
    floorDraw(dc, box, 160, 30, number);
    SetTextColor(dc, RGB(255, 150, 50));
    wsprintfA(number, "%08li", static_cast<long>(settings.level2));
    floorDraw(dc, box, 160, 50, number);
    const bool present = alarmState.targetPresent;
    SetTextColor(dc, present ? RGB(0, 255, 0) : RGB(100, 140, 140));
    floorDraw(dc, box, 160, 70, present ? "Active" : "Inactive");
    EndPaint(window, &ps);
}

void floorInvalidate(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    InvalidateRect(window, &client, TRUE);
}

// The tick reduced to its platform calls: look up the target, measure, ask for the
// repaint; on the alarm side with the target present, measure a second time.
void floorTick(HWND window) {
    const char* title =
        std::strncmp(settings.WindowName, "NULL", 4) == 0 ? nullptr : settings.WindowName;
    const bool present = FindWindowA(settings.ClassName, title) != nullptr;
    const bool alarm = static_cast<long long>(floorFreeMegabytes()) <= settings.level1;
    floorInvalidate(window);
    if (alarm && present) {
        floorFreeMegabytes();
    }
}

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        if (painter == Painter::Product) {
            StatusPanel::paint(window);
        } else {
            floorPaint(window);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createWindow(const char* className, const char* title, WNDPROC proc, int x) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    const HWND window = CreateWindowExA(WS_EX_TOPMOST, className, title,
                                        WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX, x, 40, 250,
                                        145, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

void drainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double nowSeconds() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One round of `ticks` ticks; microseconds per tick. With `idleFlush` every tick is
// followed by an empty PeekMessage, as the message loop's return to GetMessage would:
// that is where Wine hands the painted window surface to the X server.
double timeRound(HWND window, Painter who, int ticks, bool idleFlush) {
    painter = who;
    drainMessages();
    const double start = nowSeconds();
    for (int i = 0; i < ticks; ++i) {
        if (who == Painter::Product) {
            // The whole WM_TIMER: the tick and what it tells others at its end.
            Frame::onTimer(window);
        } else {
            floorTick(window);
        }
        UpdateWindow(window);
        if (idleFlush) {
            drainMessages();
        }
    }
    return (nowSeconds() - start) * 1e6 / ticks;
}

double median(double* values, int count) {
    std::sort(values, values + count);
    return count % 2 != 0 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

enum class Chart { None, Closed, Open };

struct Case {
    const char* name;
    bool alarm;
    bool idleFlush;
    bool optIn;
    // With the opt-in keys: StateIcon and ShowHistory as well, the chart's window closed or open.
    Chart chart;
    // With the opt-in keys: MakeRoom as well, on a folder of the drive.
    bool makeRoom = false;
    // With the opt-in keys: EventLog and MetricsFile as well.
    bool watched = false;
};

// The Application log and the metrics file, in the temporary folder. The ticks without an
// event write the file once every 15 s, which a round of ticks does not last.
void setWatched(bool on) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    settings.EventLog = on ? 1 : 0;
    if (on) {
        wsprintfA(settings.MetricsFile, "%szv-bench-%lu.prom", folder, GetCurrentProcessId());
    } else {
        settings.MetricsFile[0] = '\0';
    }
}

// A folder of the measured drive, which a tick above level 1 never reads.
void setMakeRoom(bool on) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    if (on) {
        wsprintfA(settings.MakeRoom, "%s*.ts", folder);
    } else {
        settings.MakeRoom[0] = '\0';
    }
    RoomMaking::configure();
}

// Every opt-in key set. Their events (the target found, the alarm, its command) all fall in
// the warm-up round, so the timed ticks are ticks without an event.
void setOptInKeys(bool on) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    if (on) {
        wsprintfA(settings.LogFile, "%szv-bench-%lu.csv", folder, GetCurrentProcessId());
    } else {
        settings.LogFile[0] = '\0';
    }
    for (char* command : {settings.OnAlarm, settings.OnLevel2, settings.OnRecover}) {
        std::strcpy(command, on ? "rem" : "");
    }
    settings.DryRun = settings.ShowEstimate = settings.ShowBalloons = on ? 1 : 0;
    settings.ShutdownDelay = on ? 30 : 0;
}

bool runCase(HWND window, const Case& c, int ticks, int rounds) {
    setOptInKeys(c.optIn);
    setMakeRoom(c.makeRoom);
    setWatched(c.watched);
    // The chart's key is read at start; here each case starts it anew. The marked icons were
    // made at start, and no tick of a case changes the state.
    History::start(c.chart != Chart::None);
    if (c.chart == Chart::Open) {
        HistoryView::open();
    }
    if (c.alarm) {
        // Every tick is an alarm tick; the second measurement stays above level 2, so
        // nothing beyond the repaint happens. No beep (it returns at once under Wine and
        // blocks 256 ms by design on Windows) and no key (pressed once per excursion).
        std::strcpy(settings.ClassName, TargetClass);
        std::strcpy(settings.WindowName, TargetTitle);
        settings.level1 = 0x7FFFFFFF;
        settings.level2 = -1;
    } else {
        std::strcpy(settings.ClassName, AbsentClass);
        std::strcpy(settings.WindowName, "NULL");
        settings.level1 = 0;
        settings.level2 = 0;
    }
    // Warm both up and leave the alarm state as the product's tick sets it, which the
    // floor's paint reads for its colours as well.
    timeRound(window, Painter::Floor, ticks / 10 + 1, c.idleFlush);
    timeRound(window, Painter::Product, ticks / 10 + 1, c.idleFlush);
    if (alarmState.belowLevel1 != c.alarm || alarmState.targetPresent != c.alarm ||
        driveFailureReported) {
        std::printf("error case=%s: the product's tick did not take the intended path\n", c.name);
        return false;
    }

    double productTimes[MaxRounds];
    double floorTimes[MaxRounds];
    double ratios[MaxRounds];
    for (int r = 0; r < rounds; ++r) {
        // Alternate which goes first, so neither always runs on a warmer machine.
        if (r % 2 == 0) {
            productTimes[r] = timeRound(window, Painter::Product, ticks, c.idleFlush);
            floorTimes[r] = timeRound(window, Painter::Floor, ticks, c.idleFlush);
        } else {
            floorTimes[r] = timeRound(window, Painter::Floor, ticks, c.idleFlush);
            productTimes[r] = timeRound(window, Painter::Product, ticks, c.idleFlush);
        }
        ratios[r] = productTimes[r] / floorTimes[r];
    }
    const double productMedian = median(productTimes, rounds);
    const double floorMedian = median(floorTimes, rounds);
    const double ratioMedian = median(ratios, rounds);
    // median() sorted the arrays, so their ends are the fastest and slowest rounds.
    if (c.chart == Chart::Open) {
        HistoryView::closed();
    }
    std::printf("result case=%s ticks=%d rounds=%d product_us=%.2f floor_us=%.2f ratio=%.3f "
                "pair_ratio_median=%.3f product_min_us=%.2f product_max_us=%.2f "
                "floor_min_us=%.2f floor_max_us=%.2f\n",
                c.name, ticks, rounds, productMedian, floorMedian, productMedian / floorMedian,
                ratioMedian, productTimes[0], productTimes[rounds - 1], floorTimes[0],
                floorTimes[rounds - 1]);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 50;
    const int rounds = std::min(argc > 2 ? std::atoi(argv[2]) : 81, MaxRounds);
    if (ticks <= 0 || rounds <= 0) {
        std::printf("usage: tick_bench [ticks-per-round] [rounds]\n");
        return 2;
    }
    // A failed measurement in the product would open a modal warning and wait forever.
    DWORD sectors, bytes, clusters;
    if (!GetDiskFreeSpaceA(Drive, &sectors, &bytes, &clusters, nullptr)) {
        std::printf("error: cannot measure %s (error %lu)\n", Drive, GetLastError());
        return 1;
    }
    std::memset(&settings, 0, sizeof settings);
    std::strcpy(settings.DriveLetter, Drive);
    settings.UpdateInterval = 1000;

    const HWND panel = createWindow(PanelClass, "Zembrovale bench panel", panelProc, 40);
    const HWND target = createWindow(TargetClass, TargetTitle, DefWindowProcA, 320);
    // The notification icon and its marked states, as the program makes them at start.
    settings.StateIcon = settings.ShowHistory = 1;
    TrayMenu::build(panel);
    drainMessages();

    const Case cases[] = {
        {"normal", false, false, false, Chart::None},
        {"alarm", true, false, false, Chart::None},
        {"normal_idle_flush", false, true, false, Chart::None},
        {"alarm_idle_flush", true, true, false, Chart::None},
        {"normal_opt_in", false, false, true, Chart::None},
        {"alarm_opt_in", true, false, true, Chart::None},
        {"normal_chart_closed", false, false, true, Chart::Closed},
        {"normal_chart_open", false, false, true, Chart::Open},
        {"normal_make_room", false, false, true, Chart::None, true},
        {"normal_watched", false, false, true, Chart::None, false, true},
    };
    bool ok = true;
    for (const Case& c : cases) {
        ok = runCase(panel, c, ticks, rounds) && ok;
    }
    TrayMenu::removeIcon();
    DestroyWindow(target);
    DestroyWindow(panel);
    setOptInKeys(true);
    DeleteFileA(settings.LogFile);
    setWatched(true);
    DeleteFileA(settings.MetricsFile);
    return ok ? 0 : 1;
}
