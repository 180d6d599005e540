// The window picker of the running program: what it shows under the pointer, what it
// keeps off its fields, how it ends, and that the alarm cycle goes on meanwhile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_dialog_support.h"
#include "resources/resource.h"

namespace {

constexpr DWORD SeveralTicksMs = 1300; // the picker refreshes every 400 ms

POINT centreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void pointAt(POINT point) {
    SetCursorPos(point.x, point.y);
}

std::string shownTitle(HWND picker) {
    return e2e::text(picker, IDC_PICK_WINDOWNAME);
}
std::string shownClass(HWND picker) {
    return e2e::text(picker, IDC_PICK_CLASSNAME);
}

bool shows(HWND picker, const std::string& title, const std::string& className) {
    return zvtest::waitUntil(
        [&] { return shownTitle(picker) == title && shownClass(picker) == className; });
}

// Both fields unchanged over several ticks.
bool keepsShowing(HWND picker, const std::string& title, const std::string& className) {
    return !zvtest::waitUntil(
        [&] { return shownTitle(picker) != title || shownClass(picker) != className; },
        SeveralTicksMs);
}

// A window of this test process holding a real edit control, for the pointer to rest on.
class EditHost {
  public:
    EditHost(int x, int y) {
        className_ = zvtest::uniqueName("zv-edit-host");
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className_.c_str();
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, className_.c_str(), "Edit host", WS_POPUP | WS_VISIBLE, x, y,
                                  300, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "text in another program",
                                WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, window_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        zvtest::flushEvents();
    }
    ~EditHost() {
        DestroyWindow(window_);
        UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
    }
    POINT overEdit() const { return centreOf(edit_); }
    POINT overBackground() const {
        RECT rect{};
        GetWindowRect(window_, &rect);
        return {rect.left + 150, rect.bottom - 20};
    }
    const std::string& className() const { return className_; }

  private:
    std::string className_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

class WindowPickerE2E : public ::testing::Test {
  protected:
    HWND startAndOpen(const e2e::IniKeys& changes = {}) {
        if (product.start(e2e::withKeys(e2e::baseIni(), changes)) == nullptr) {
            ADD_FAILURE() << "the program did not start";
            return nullptr;
        }
        return openPicker();
    }
    HWND openPicker() {
        const HWND picker = product.openPicker();
        EXPECT_NE(picker, nullptr) << "the picker did not open";
        return picker;
    }

    e2e::ProductRun product;
};

struct TargetCase {
    std::string title;
    std::string shown; // the title as the picker shows it
};

TEST_F(WindowPickerE2E, ShowsTitleAndClassOfTheWindowUnderThePointer) {
    const std::string sixty = "Recording 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKL";
    ASSERT_EQ(sixty.size(), 60u);
    const std::string fortyFour(44, 'q');
    const std::vector<TargetCase> cases = {
        {sixty, sixty.substr(0, 44)},
        {fortyFour, fortyFour},
        {"", ""}, // untitled: an empty title and the class
        {"WinSpyX", "WinSpyX"},
    };
    std::vector<zvtest::ChildProcess> targets(cases.size());
    std::vector<std::string> classes;
    std::vector<HWND> windows;
    for (size_t i = 0; i < cases.size(); ++i) {
        classes.push_back(zvtest::uniqueName("zv-pick-target"));
        const std::string y = std::to_string(80 + 170 * static_cast<int>(i));
        windows.push_back(zvtest::startTarget(
            targets[i], classes[i], {"--title", cases[i].title, "--rect", "700", y, "400", "150"}));
        ASSERT_NE(windows.back(), nullptr);
    }
    const HWND picker = startAndOpen();
    ASSERT_NE(picker, nullptr);

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("title \"" + cases[i].title + "\"");
        pointAt(centreOf(windows[i]));
        EXPECT_TRUE(shows(picker, cases[i].shown, classes[i]))
            << "shows \"" << shownTitle(picker) << "\" / \"" << shownClass(picker) << "\"";
    }

    // Another program's window titled exactly like the picker is never shown.
    zvtest::ChildProcess namesake;
    const HWND namesakeWindow =
        zvtest::startTarget(namesake, zvtest::uniqueName("zv-pick-namesake"),
                            {"--title", "WinSpy", "--rect", "300", "700", "300", "150"});
    ASSERT_NE(namesakeWindow, nullptr);
    pointAt(centreOf(namesakeWindow));
    EXPECT_TRUE(keepsShowing(picker, cases.back().shown, classes.back()));
    EXPECT_TRUE(IsWindow(picker));
}

TEST_F(WindowPickerE2E, EditControlsAndThePickerItselfLeaveTheFieldsAlone) {
    EditHost host(700, 100);
    const HWND picker = startAndOpen();
    ASSERT_NE(picker, nullptr);

    pointAt(host.overBackground());
    ASSERT_TRUE(shows(picker, "Edit host", host.className()));

    pointAt(host.overEdit());
    EXPECT_TRUE(keepsShowing(picker, "Edit host", host.className())) << "another program's edit";

    pointAt(centreOf(GetDlgItem(picker, IDC_PICK_WINDOWNAME)));
    EXPECT_TRUE(keepsShowing(picker, "Edit host", host.className())) << "the picker's own field";

    // Typed text survives as long as every tick is excluded.
    e2e::setText(picker, IDC_PICK_CLASSNAME, "typed by the user");
    EXPECT_TRUE(keepsShowing(picker, "Edit host", "typed by the user"));

    RECT frame{};
    GetWindowRect(picker, &frame);
    pointAt({(frame.left + frame.right) / 2, frame.top + 5}); // its caption
    EXPECT_TRUE(keepsShowing(picker, "Edit host", "typed by the user")) << "the picker's caption";

    pointAt(host.overBackground());
    EXPECT_TRUE(shows(picker, "Edit host", host.className())) << "the next tick did not overwrite";
}

TEST_F(WindowPickerE2E, EndsOnCloseBoxEscapeReleaseAndEscapeCharacter) {
    // Resting on an excluded window, so the fields stay as each opening leaves them.
    EditHost host(700, 100);
    pointAt(host.overEdit());

    HWND picker = startAndOpen();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(IsWindowEnabled(product.mainWindow()));
    PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::closed(picker)) << "the close box";
    EXPECT_TRUE(zvtest::waitUntil([&] { return IsWindowEnabled(product.mainWindow()) != FALSE; }));
    EXPECT_TRUE(product.process().running());

    picker = openPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(keepsShowing(picker, "", "")) << "a new opening starts with empty fields";
    e2e::typeKey(picker, IDC_PICK_WINDOWNAME, VK_RETURN);
    EXPECT_TRUE(e2e::staysOpen(picker, 400)) << "Enter";
    const HWND field = GetDlgItem(picker, IDC_PICK_CLASSNAME);
    PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(e2e::staysOpen(picker, 400)) << "the Escape press alone";
    PostMessageA(field, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    ASSERT_TRUE(e2e::closed(picker)) << "the Escape release";

    picker = openPicker();
    ASSERT_NE(picker, nullptr);
    PostMessageA(picker, WM_CHAR, 'a', 0);
    EXPECT_TRUE(e2e::staysOpen(picker, 400));
    PostMessageA(picker, WM_CHAR, 27, 0);
    ASSERT_TRUE(e2e::closed(picker)) << "an Escape character";
    EXPECT_TRUE(product.process().running());
}

// The alarm presses the key when free space falls below level 1 and again when it rises
// above it: each press is a tick of the main window's timer observed from outside.
TEST_F(WindowPickerE2E, AlarmCycleKeepsTickingWhileOpenAndAfterTheCloseBox) {
    const std::string drive = zvtest::testDrive();
    std::uint32_t freeNow = 0;
    if (drive.empty() || !zvtest::freeMegabytes(drive, &freeNow) || freeNow < 16) {
        GTEST_SKIP() << "needs the test drive of scripts/wine-env.sh";
    }
    const std::string targetClass = zvtest::uniqueName("zv-pick-alarm");
    const std::string logPath = zvtest::tempFolder() + targetClass + ".log";
    const std::string filler = drive + targetClass + ".bin";
    struct Cleanup {
        std::vector<std::string> files;
        ~Cleanup() {
            for (const std::string& file : files) {
                zvtest::removeFile(file);
            }
        }
    } cleanup{{filler, logPath}};
    zvtest::ChildProcess target;
    ASSERT_NE(zvtest::startTarget(target, targetClass,
                                  {"--log", logPath, "--rect", "700", "500", "300", "150"}),
              nullptr);

    const HWND picker = startAndOpen({{"DriveLetter", drive},
                                      {"level1", std::to_string(freeNow - 4)},
                                      {"ClassName", targetClass},
                                      {"key", "00000082"},
                                      {"UpdateInterval", "00000200"}});
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(e2e::keyDowns(logPath, 82), 0);

    ASSERT_TRUE(zvtest::writeSizedFile(filler, 8ull * 1048576));
    EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::keyDowns(logPath, 82) == 1; }))
        << "no tick while the picker was open";
    EXPECT_TRUE(IsWindow(picker));

    PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::closed(picker));
    zvtest::removeFile(filler);
    EXPECT_TRUE(zvtest::waitUntil([&] { return e2e::keyDowns(logPath, 82) == 2; }))
        << "no tick after the picker closed";
}

} // namespace
