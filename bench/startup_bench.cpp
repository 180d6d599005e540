// Start-up to first paint: starts a program, and times until its window exists and the
// screen shows the painted green in a known cell of its client area.
//
//   startup_bench.exe runs N PRODUCT.exe MINIMAL.exe
//       alternates N starts of each; prints one "startup ..." line per start and one
//       "result ..." line with the medians
//   startup_bench.exe close CLASS
//       posts WM_CLOSE to each top-level window of that class and waits until all are gone
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* ProductClass = "ZEMBROVALE";
constexpr const char* MinimalClass = "ZvMinimalWindow";
constexpr DWORD TimeoutMs = 15000;
constexpr int MaxRuns = 50;

// The cell where the panel draws the free megabytes in green (text cells are partly
// anti-aliased, so any exact green pixel in it counts).
constexpr int CellLeft = 160;
constexpr int CellTop = 10;
constexpr int CellWidth = 80;
constexpr int CellHeight = 16;
constexpr DWORD Green = 0x0000FF00; // 0x00RRGGBB as a 32-bit DIB pixel reads

double nowMs() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Grabber {
    HDC screen;
    HDC memory;
    HBITMAP bitmap;
    DWORD* pixels;
};

Grabber makeGrabber() {
    Grabber g = {};
    g.screen = GetDC(nullptr);
    g.memory = CreateCompatibleDC(g.screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = CellWidth;
    info.bmiHeader.biHeight = -CellHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    g.bitmap = CreateDIBSection(g.memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    g.pixels = static_cast<DWORD*>(bits);
    SelectObject(g.memory, g.bitmap);
    return g;
}

// True when the cell of the window's client area shows the painted green on screen.
bool cellIsGreen(const Grabber& g, HWND window) {
    POINT origin = {CellLeft, CellTop};
    if (!ClientToScreen(window, &origin)) {
        return false;
    }
    BitBlt(g.memory, 0, 0, CellWidth, CellHeight, g.screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    for (int i = 0; i < CellWidth * CellHeight; ++i) {
        if ((g.pixels[i] & 0x00FFFFFF) == Green) {
            return true;
        }
    }
    return false;
}

bool waitUntilGone(const char* className) {
    const double deadline = nowMs() + TimeoutMs;
    while (FindWindowA(className, nullptr) != nullptr) {
        if (nowMs() > deadline) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

struct Start {
    double windowMs;
    double paintMs;
};

// One start: from CreateProcess to the window, then to the green pixels; then closes
// the program and waits for its end, so each start begins on a quiet desktop.
bool timeStart(const Grabber& g, const char* path, const char* className, Start* out) {
    if (!waitUntilGone(className)) {
        std::printf("error: a %s window is still open\n", className);
        return false;
    }
    // Let the X server redraw what the last window covered.
    Sleep(200);
    char commandLine[MAX_PATH + 3];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", path);
    char folder[MAX_PATH];
    std::strncpy(folder, path, sizeof folder - 1);
    folder[sizeof folder - 1] = '\0';
    char* slash = std::strrchr(folder, '\\');
    if (slash != nullptr) {
        *slash = '\0';
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    const double start = nowMs();
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process)) {
        std::printf("error: cannot start %s (error %lu)\n", path, GetLastError());
        return false;
    }
    HWND window = nullptr;
    out->windowMs = -1;
    out->paintMs = -1;
    while (nowMs() - start < TimeoutMs) {
        if (window == nullptr) {
            window = FindWindowA(className, nullptr);
            if (window != nullptr) {
                out->windowMs = nowMs() - start;
            }
        }
        if (window != nullptr && IsWindowVisible(window) && cellIsGreen(g, window)) {
            out->paintMs = nowMs() - start;
            break;
        }
        Sleep(1);
    }
    if (window != nullptr) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, TimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, TimeoutMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (out->paintMs < 0) {
        std::printf("error: %s showed no painted window within %lu ms\n", path, TimeoutMs);
        return false;
    }
    return true;
}

double median(double* values, int count) {
    std::sort(values, values + count);
    return count % 2 != 0 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

int runs(int count, const char* product, const char* minimal) {
    const Grabber g = makeGrabber();
    double productWindow[MaxRuns], productPaint[MaxRuns];
    double minimalWindow[MaxRuns], minimalPaint[MaxRuns];
    double ratios[MaxRuns];
    for (int i = 0; i < count; ++i) {
        Start p;
        Start m;
        // Alternate which starts first within a pair.
        const bool productFirst = i % 2 == 0;
        if (productFirst && !timeStart(g, product, ProductClass, &p)) {
            return 1;
        }
        if (!timeStart(g, minimal, MinimalClass, &m)) {
            return 1;
        }
        if (!productFirst && !timeStart(g, product, ProductClass, &p)) {
            return 1;
        }
        productWindow[i] = p.windowMs;
        productPaint[i] = p.paintMs;
        minimalWindow[i] = m.windowMs;
        minimalPaint[i] = m.paintMs;
        ratios[i] = p.paintMs / m.paintMs;
        std::printf("startup run=%d product_window_ms=%.1f product_paint_ms=%.1f "
                    "minimal_window_ms=%.1f minimal_paint_ms=%.1f\n",
                    i + 1, p.windowMs, p.paintMs, m.windowMs, m.paintMs);
        std::fflush(stdout);
    }
    const double pw = median(productWindow, count);
    const double pp = median(productPaint, count);
    const double mw = median(minimalWindow, count);
    const double mp = median(minimalPaint, count);
    // The ratio within each pair of neighbouring starts is steadier than the ratio of the
    // medians when the machine's load changes during the run.
    std::printf("result case=startup runs=%d product_window_ms=%.1f product_paint_ms=%.1f "
                "minimal_window_ms=%.1f minimal_paint_ms=%.1f ratio=%.3f pair_ratio_median=%.3f\n",
                count, pw, pp, mw, mp, pp / mp, median(ratios, count));
    return 0;
}

// Closes every top-level window of the class, one after the other.
int closeAll(const char* className) {
    const HWND first = FindWindowA(className, nullptr);
    if (first == nullptr) {
        std::printf("error: no %s window\n", className);
        return 1;
    }
    const double deadline = nowMs() + TimeoutMs;
    for (HWND window = first; window != nullptr; window = FindWindowA(className, nullptr)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        while (IsWindow(window)) {
            if (nowMs() > deadline) {
                std::printf("error: a %s window did not close\n", className);
                return 1;
            }
            Sleep(10);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "runs") == 0) {
        const int count = std::atoi(argv[2]);
        if (count > 0 && count <= MaxRuns) {
            return runs(count, argv[3], argv[4]);
        }
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        return closeAll(argv[2]);
    }
    std::printf("usage: startup_bench runs N PRODUCT.exe MINIMAL.exe | close CLASS\n");
    return 2;
}
