#pragma once
// Reads what the running program shows besides its dialogs (the command menu, message
// boxes, the panel's pixels) and drives its window with real mouse input.
//
// Another process's menu cannot be read through the menu API (Wine answers
// ERROR_INVALID_MENU_HANDLE), and a message box's icon and layout are not exposed either.
// Both are therefore compared with the same thing built by this process: a popup menu or
// message box of its own, drawn by the same system on the same screen, must match the
// program's pixel for pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "actions/target_window.h"
#include "e2e_dialog_support.h"
#include "support/wine_support.h"
#include "ui/tray_menu.h"

namespace e2e {

constexpr const char* Title = zvtest::ProductTitle;

// The pointer rests here whenever the program's menu opens (it opens to the left of and
// below the pointer), and reference menus open further left, so no item is ever hovered.
constexpr POINT MenuPointer = {1100, 120};
constexpr POINT ReferenceMenuCorner = {700, 120};

// Items of the command menu in order; "-" stands for a separator.
using MenuItems = std::vector<std::string>;

inline MenuItems commandMenu(const char* hideItem = "Hide", const char* lockItem = "Lock Target") {
    return {"About", hideItem, lockItem, "-", "Options", "WinSpy", "Edit config", "-", "Close"};
}

inline bool visible(HWND window) {
    return IsWindow(window) && IsWindowVisible(window);
}

// The first visible window of a process with this class (and caption); null at the deadline.
inline HWND waitForVisible(DWORD processId, const char* className, const char* caption = nullptr,
                           DWORD timeoutMs = zvtest::DefaultWaitMs) {
    HWND found = nullptr;
    zvtest::waitUntil(
        [&] {
            for (HWND window : zvtest::processWindows(processId, className, caption)) {
                if (visible(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// A capture of `area` taken once two captures in a row agree, so a window that is still
// painting is not caught half-drawn.
inline zvtest::ScreenImage settledCapture(const RECT& area) {
    zvtest::ScreenImage last = zvtest::captureScreen(area);
    zvtest::ScreenImage image;
    zvtest::waitUntil(
        [&] {
            zvtest::flushEvents(30);
            image = zvtest::captureScreen(area);
            const bool same = image == last;
            last = image;
            return same;
        },
        3000);
    return image;
}

// Pixels that differ between two images of one size, with the first difference named.
inline ::testing::AssertionResult sameImage(const zvtest::ScreenImage& got,
                                            const zvtest::ScreenImage& expected,
                                            const RECT& ignored = {0, 0, 0, 0}) {
    if (got.width != expected.width || got.height != expected.height) {
        return ::testing::AssertionFailure()
               << "size " << got.width << "x" << got.height << ", expected " << expected.width
               << "x" << expected.height;
    }
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            const POINT point = {x, y};
            if (PtInRect(&ignored, point) || got.at(x, y) == expected.at(x, y)) {
                continue;
            }
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    const COLORREF was = got.at(firstX, firstY);
    const COLORREF wanted = expected.at(firstX, firstY);
    char detail[160];
    std::snprintf(detail, sizeof detail,
                  "%d pixels differ; the first at %d,%d is RGB(%d,%d,%d), expected RGB(%d,%d,%d)",
                  differing, firstX, firstY, GetRValue(was), GetGValue(was), GetBValue(was),
                  GetRValue(wanted), GetGValue(wanted), GetBValue(wanted));
    return ::testing::AssertionFailure() << detail;
}

// --- Reference UI of this process, run on a helper thread whose modal loop owns it ---

struct ReferenceMenuJob {
    MenuItems items;
};

inline DWORD WINAPI runReferenceMenu(LPVOID param) {
    const auto* job = static_cast<const ReferenceMenuJob*>(param);
    // A menu's owner must belong to the thread that tracks it.
    const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    const HMENU menu = CreatePopupMenu();
    UINT id = 1;
    for (const std::string& item : job->items) {
        if (item == "-") {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, MF_STRING, id++, item.c_str());
        }
    }
    TrackPopupMenu(menu, TPM_RIGHTALIGN, ReferenceMenuCorner.x, ReferenceMenuCorner.y, 0, owner,
                   nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return 0;
}

// How a popup menu with exactly these items looks on this screen.
inline zvtest::ScreenImage referenceMenu(const MenuItems& items) {
    static std::map<MenuItems, zvtest::ScreenImage> drawn;
    const auto known = drawn.find(items);
    if (known != drawn.end()) {
        return known->second;
    }
    // Left to leak if the thread hangs: it still reads the job then.
    auto* job = new ReferenceMenuJob{items};
    const HANDLE thread = CreateThread(nullptr, 0, runReferenceMenu, job, 0, nullptr);
    zvtest::ScreenImage image;
    const HWND menu = waitForVisible(GetCurrentProcessId(), "#32768");
    if (menu != nullptr) {
        image = settledCapture(zvtest::windowRectOnScreen(menu));
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    if (WaitForSingleObject(thread, zvtest::DefaultWaitMs) == WAIT_OBJECT_0) {
        delete job;
    }
    CloseHandle(thread);
    if (!image.pixels.empty()) {
        drawn[items] = image;
    }
    return image;
}

struct ReferenceBoxJob {
    std::string text;
    std::string caption;
    UINT flags;
};

inline DWORD WINAPI runReferenceBox(LPVOID param) {
    const auto* job = static_cast<const ReferenceBoxJob*>(param);
    MessageBoxA(nullptr, job->text.c_str(), job->caption.c_str(), job->flags);
    return 0;
}

// The client area of a message box of this process with this text, caption and style.
inline zvtest::ScreenImage referenceMessageBox(const std::string& text, const std::string& caption,
                                               UINT flags) {
    auto* job = new ReferenceBoxJob{text, caption, flags};
    const HANDLE thread = CreateThread(nullptr, 0, runReferenceBox, job, 0, nullptr);
    zvtest::ScreenImage image;
    const HWND box = waitForVisible(GetCurrentProcessId(), "#32770", caption.c_str());
    if (box != nullptr) {
        image = settledCapture(zvtest::clientRectOnScreen(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(thread, zvtest::DefaultWaitMs) == WAIT_OBJECT_0) {
        delete job;
    }
    CloseHandle(thread);
    return image;
}

// --- The program's command menu ---

// Waits until the foreground window has stayed the same for a while. A change of the
// active window that is still on its way ends a popup menu that opens meanwhile.
inline void settleForeground() {
    constexpr int StableSamples = 4;
    HWND last = GetForegroundWindow();
    int stable = 0;
    zvtest::waitUntil(
        [&] {
            zvtest::flushEvents(25);
            const HWND now = GetForegroundWindow();
            stable = now == last ? stable + 1 : 0;
            last = now;
            return stable >= StableSamples;
        },
        2000);
}

// Opens the command menu the way the user does: a right click on the notification icon
// (or, with fromIcon false, inside the main window). Returns the menu's window.
inline HWND openCommandMenu(ProductRun& product, bool fromIcon = true) {
    SetCursorPos(MenuPointer.x, MenuPointer.y);
    settleForeground();
    if (fromIcon) {
        PostMessageA(product.mainWindow(), WmTrayNotify, 0, WM_RBUTTONUP);
    } else {
        PostMessageA(product.mainWindow(), WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    }
    return waitForVisible(product.process().id(), "#32768");
}

inline bool closeMenu(HWND menu) {
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return zvtest::waitUntil([&] { return !visible(menu); });
}

// The open menu window looks like `expected`.
inline ::testing::AssertionResult menuShows(HWND menu, const zvtest::ScreenImage& expected) {
    if (menu == nullptr) {
        return ::testing::AssertionFailure() << "no menu opened";
    }
    ::testing::AssertionResult same = ::testing::AssertionSuccess();
    zvtest::waitUntil(
        [&] {
            same = sameImage(zvtest::captureScreen(zvtest::windowRectOnScreen(menu)), expected);
            return static_cast<bool>(same);
        },
        3000);
    return same;
}

// Opens the menu, compares it with `items` and closes it again.
inline ::testing::AssertionResult commandMenuReads(ProductRun& product, const MenuItems& items,
                                                   bool fromIcon = true) {
    // Drawn first: a second menu opening would end the program's, as it ends any other.
    const zvtest::ScreenImage expected = referenceMenu(items);
    if (expected.pixels.empty()) {
        return ::testing::AssertionFailure() << "the reference menu did not open";
    }
    const HWND menu = openCommandMenu(product, fromIcon);
    ::testing::AssertionResult result = menuShows(menu, expected);
    if (menu != nullptr && !closeMenu(menu)) {
        return ::testing::AssertionFailure() << "Escape did not close the menu";
    }
    return result;
}

// Chooses the n-th command of the menu (1 = first, separators not counted) with the
// keyboard, as a user would with the arrow keys and Enter.
inline bool chooseFromMenu(ProductRun& product, int position) {
    const HWND menu = openCommandMenu(product);
    if (menu == nullptr) {
        return false;
    }
    for (int i = 0; i < position; ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return zvtest::waitUntil([&] { return !visible(menu); });
}

// --- Message boxes of the program ---

inline std::string messageText(HWND box) {
    char buffer[1024] = "";
    const LRESULT length = SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof buffer,
                                        reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

// Identifiers of the box's buttons, in Z order.
inline std::vector<int> messageButtons(HWND box) {
    std::vector<int> ids;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") == 0) {
            ids.push_back(GetDlgCtrlID(child));
        }
    }
    return ids;
}

// The box looks exactly like one this process shows with MessageBoxA(text, caption, flags):
// same size, icon and text. The OK button is left out, because the program's carries the
// visual style its manifest asks for.
inline ::testing::AssertionResult boxLooksLike(HWND box, const std::string& text,
                                               const std::string& caption, UINT flags) {
    const zvtest::ScreenImage expected = referenceMessageBox(text, caption, flags);
    if (expected.pixels.empty()) {
        return ::testing::AssertionFailure() << "the reference box did not open";
    }
    const RECT client = zvtest::clientRectOnScreen(box);
    RECT button = zvtest::windowRectOnScreen(GetDlgItem(box, IDOK));
    OffsetRect(&button, -client.left, -client.top);
    return sameImage(settledCapture(client), expected, button);
}

// --- Real mouse input (SendInput), for the window's own drag loop ---

inline void mouseInput(POINT at, DWORD buttonFlags) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Rounded up, so the system's conversion back lands on the same pixel.
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(at.x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(at.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttonFlags;
    SendInput(1, &input, sizeof input);
}

// Presses the left button at `from`, moves to `to` in steps and releases it there.
inline void dragMouse(POINT from, POINT to) {
    constexpr int Steps = 8;
    mouseInput(from, 0);
    zvtest::flushEvents(30);
    mouseInput(from, MOUSEEVENTF_LEFTDOWN);
    zvtest::flushEvents(60);
    for (int i = 1; i <= Steps; ++i) {
        mouseInput({from.x + (to.x - from.x) * i / Steps, from.y + (to.y - from.y) * i / Steps}, 0);
        zvtest::flushEvents(20);
    }
    mouseInput(to, MOUSEEVENTF_LEFTUP);
}

// True while the thread of `window` runs a move or size loop (a drag in progress).
inline bool inMoveLoop(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

// --- The status panel ---

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF Orange = RGB(255, 150, 50);
constexpr COLORREF InactiveTeal = RGB(100, 140, 140);

// The cell of the free-space number, in client coordinates.
constexpr RECT FreeNumberCell = {160, 10, 244, 30};

// --- The test drive (a tmpfs linked as D:) ---

inline bool haveTestDrive() {
    return !zvtest::testDrive().empty();
}

inline std::uint32_t testDriveFreeMegabytes() {
    std::uint32_t megabytes = 0;
    zvtest::freeMegabytes(zvtest::testDrive(), &megabytes);
    return megabytes;
}

// A file on the test drive that takes space while it exists; removed at the latest when
// the test ends.
class DriveFiller {
  public:
    explicit DriveFiller(const std::string& name) : path_(zvtest::testDrive() + name) {}
    ~DriveFiller() { release(); }
    DriveFiller(const DriveFiller&) = delete;
    DriveFiller& operator=(const DriveFiller&) = delete;

    bool fill(std::uint32_t megabytes) {
        return zvtest::writeSizedFile(path_, static_cast<std::uint64_t>(megabytes) * 1048576u);
    }
    void release() { zvtest::removeFile(path_); }

  private:
    std::string path_;
};

// A test of an excursion on the test drive against a real target window of its own: the
// free space at the start, the target's class and message log, its process and the program.
class TargetOnTestDrive : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTestDrive()) {
            GTEST_SKIP() << "no test drive: run through scripts/wine-tests.sh";
        }
        free = testDriveFreeMegabytes();
        ASSERT_GE(free, 30u) << "the test drive is too full";
        targetClass = zvtest::uniqueName("zv-target");
        targetLog = zvtest::tempFolder() + targetClass + ".log";
    }
    void TearDown() override { zvtest::removeFile(targetLog); }

    // True when a derived SetUp must not go on.
    bool stopped() const { return IsSkipped() || HasFatalFailure(); }

    HWND startTarget(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"--log", targetLog, "--rect", "60", "600", "300", "150"};
        args.insert(args.end(), extra.begin(), extra.end());
        return zvtest::startTarget(target, targetClass, args);
    }

    std::uint32_t free = 0;
    std::string targetClass;
    std::string targetLog;
    zvtest::ChildProcess target;
    ProductRun product;
};

inline std::string padded(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08ld", value);
    return text;
}

} // namespace e2e
