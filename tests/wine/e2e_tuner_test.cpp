// The tuner signal meter of the running program, driven through a scripted SkyDll.dll
// (tests/wine/tuner_standin) placed beside a copy of the program. The stand-in logs every
// call it receives; the bar and the number are read back from the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_dialog_support.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr int LevelTextLeft = 210;
constexpr int LevelTextTop = 90;
constexpr const char* FastTicks = "50";

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

// Stand-in variants: "full", or one export missing ("no_tuner_get", "no_close").
std::string standinPath(const char* variant) {
    return folderOf(zvtest::ownExePath()) + "\\tuner_standin\\" + variant + "\\SkyDll.dll";
}

// A screen rectangle copied once, so a whole area is read in one go.
class Capture {
  public:
    Capture(int left, int top, int width, int height) : width_(width), height_(height) {
        pixels_.assign(static_cast<size_t>(width) * height, CLR_INVALID);
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap != nullptr) {
            const HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
            GdiFlush();
            const auto* raw = static_cast<const std::uint32_t*>(bits);
            for (size_t i = 0; i < pixels_.size(); ++i) {
                // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
                pixels_[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
            }
            SelectObject(memory, old);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    int count(COLORREF colour) const {
        int n = 0;
        for (COLORREF c : pixels_) {
            n += c == colour ? 1 : 0;
        }
        return n;
    }
    const std::vector<COLORREF>& pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_;
    int height_;
    std::vector<COLORREF> pixels_;
};

// `text` as the panel draws it (default font, opaque black background, one line) into a
// cell of the given size, for comparison with the screen.
std::vector<COLORREF> renderCell(const char* text, COLORREF colour, int width, int height) {
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height, CLR_INVALID);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    RECT cell = {0, 0, width, height};
    FillRect(memory, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(memory, colour);
    SetBkColor(memory, Black);
    DrawTextA(memory, text, -1, &cell, DT_SINGLELINE);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * width + x] = GetPixel(memory, x, y);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

struct Bar {
    int width = 0;  // client width in pixels
    int filled = 0; // leading pixels of the middle row in `colour`
    COLORREF colour = Black;
    bool restBlack = false;
};

class TunerE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = zvtest::tempFolder() + zvtest::uniqueName("zv-tuner") + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }

    void TearDown() override {
        if (window_ != nullptr && process_.running()) {
            PostMessageA(window_, WM_COMMAND, CmdClose, 0);
            process_.waitForExit(3000);
        }
        process_.terminate();
        removeTree(folder_);
    }

    static void removeTree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") {
                    continue;
                }
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(folder + name + "\\");
                } else {
                    DeleteFileA((folder + name).c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    // Replaced by a rename, so the library never reads half a file.
    static void writeScript(const std::string& folder, const std::string& lines) {
        const std::string script = folder + "SkyDll.cfg";
        const std::string fresh = script + ".new";
        ASSERT_TRUE(zvtest::writeFile(fresh, lines));
        ASSERT_TRUE(zvtest::waitUntil([&] {
            return MoveFileExA(fresh.c_str(), script.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        })) << "could not replace "
            << script;
    }
    void script(const std::string& lines) { writeScript(folder_, lines); }

    // Copies the program (and the stand-in `variant`, unless null) into the test's folder
    // and starts it there. The main window is null when it did not appear.
    void start(const char* variant, const std::string& lines, const char* interval = FastTicks,
               const char* workingFolder = nullptr) {
        const std::string exe = folder_ + "zembrovale.exe";
        ASSERT_TRUE(CopyFileA(zvtest::productPath().c_str(), exe.c_str(), FALSE));
        if (variant != nullptr) {
            ASSERT_TRUE(
                CopyFileA(standinPath(variant).c_str(), (folder_ + "SkyDll.dll").c_str(), FALSE))
                << "missing stand-in " << standinPath(variant);
            script(lines);
        }
        ASSERT_TRUE(zvtest::writeIni(
            folder_ + "zembrovale.ini",
            e2e::withKeys(e2e::baseIni(), {{"ClassName", zvtest::uniqueName("NoTarget")},
                                           {"x", "300"},
                                           {"y", "300"},
                                           {"UpdateInterval", interval}})));
        ASSERT_TRUE(process_.start("\"" + exe + "\"",
                                   workingFolder != nullptr ? workingFolder : folder_.c_str()));
        window_ = process_.waitForWindow("ZEMBROVALE", "Zembrovale 0.7");
        ASSERT_NE(window_, nullptr) << "the main window did not appear";
        // The window is listed while it is still being created: wait for the first paint,
        // whose "Level " label is white.
        ASSERT_TRUE(zvtest::waitUntil([&] {
            POINT label{10, LevelTextTop};
            ClientToScreen(window_, &label);
            return GetDlgItem(window_, IDC_LEVEL_BAR) != nullptr && IsWindowVisible(window_) &&
                   Capture(label.x, label.y, 40, 16).count(White) > 0;
        })) << "the main window was not painted";
    }

    // Ends the program by its "Close" command; it must exit with code 0.
    void close() {
        PostMessageA(window_, WM_COMMAND, CmdClose, 0);
        ASSERT_TRUE(process_.waitForExit()) << "the program did not end";
        EXPECT_EQ(process_.exitCode(), 0u);
    }

    std::vector<std::string> log() const { return zvtest::readLines(folder_ + "SkyDll.log"); }

    int calls(const char* name) const {
        int n = 0;
        const std::string prefix = std::string(name) + " ";
        for (const std::string& line : log()) {
            n += line == name || line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
        }
        return n;
    }

    // Lets at least `ticks` polls happen.
    void waitForPolls(int ticks) {
        const int target = calls("SkyAdapterTunerGet") + ticks;
        ASSERT_TRUE(zvtest::waitUntil([&] { return calls("SkyAdapterTunerGet") >= target; }))
            << "the tuner is not being polled";
    }

    // Lets `ms` of ticks pass while the meter is not polling anything.
    void idle(DWORD ms) {
        zvtest::waitUntil([] { return false; }, ms);
    }

    Bar bar() const {
        Bar result;
        const HWND control = GetDlgItem(window_, IDC_LEVEL_BAR);
        RECT client{};
        if (control == nullptr || !GetClientRect(control, &client)) {
            return result;
        }
        POINT origin{0, 0};
        ClientToScreen(control, &origin);
        const Capture shot(origin.x, origin.y, client.right, client.bottom);
        const int row = client.bottom / 2;
        result.width = client.right;
        // The control may draw a one-pixel frame in its client area: the fill starts at the
        // first non-black pixel of the left edge.
        int x = 0;
        while (x < 2 && x < shot.width() && shot.at(x, row) == Black) {
            ++x;
        }
        result.colour = x < shot.width() ? shot.at(x, row) : Black;
        if (result.colour != Black) {
            while (x < shot.width() && shot.at(x, row) == result.colour) {
                ++result.filled;
                ++x;
            }
        }
        result.restBlack = true;
        for (; x < shot.width(); ++x) {
            result.restBlack = result.restBlack && shot.at(x, row) == Black;
        }
        return result;
    }

    // The bar filled to `percent` of its width in `colour`, the rest black. The fill is
    // measured against the width with and without a frame, one pixel of rounding either way.
    // Waits for it, since the poll comes with the next tick.
    ::testing::AssertionResult barShows(int percent, COLORREF colour) {
        Bar now;
        const bool ok = zvtest::waitUntil([&] {
            now = bar();
            if (now.width <= 2 || !now.restBlack) {
                return false;
            }
            if (percent == 0) {
                return now.filled == 0;
            }
            const int least = (now.width - 2) * percent / 100 - 1;
            const int most = now.width * percent / 100 + 1;
            return now.colour == colour && now.filled >= 1 && now.filled >= least &&
                   now.filled <= most;
        });
        if (ok) {
            return ::testing::AssertionSuccess();
        }
        char text[160];
        std::snprintf(text, sizeof text,
                      "bar: %d of %d pixels in %06lX, rest black %d; expected %d%% in %06lX",
                      now.filled, now.width, now.colour, now.restBlack, percent, colour);
        return ::testing::AssertionFailure() << text;
    }

    // The level number at 210, 90 reads `text` in `colour`: the cell matches the same text
    // drawn here, and some of its pixels have the exact colour (the rest is anti-aliased).
    ::testing::AssertionResult numberShows(const char* text, COLORREF colour) {
        RECT client{};
        GetClientRect(window_, &client);
        POINT origin{LevelTextLeft, LevelTextTop};
        ClientToScreen(window_, &origin);
        const int width = client.right - LevelTextLeft;
        const int height = 16;
        const std::vector<COLORREF> expected = renderCell(text, colour, width, height);
        int exact = 0;
        const bool ok = zvtest::waitUntil([&] {
            const Capture cell(origin.x, origin.y, width, height);
            exact = cell.count(colour);
            return cell.pixels() == expected && exact > 0;
        });
        if (ok) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the level does not read \"" << text << "\" in the expected colour (" << exact
               << " pixels of that colour in the cell)";
    }

    zvtest::ChildProcess process_;
    HWND window_ = nullptr;
    std::string folder_;
};

TEST_F(TunerE2E, WithoutTheLibraryTheMeterStaysEmpty) {
    start(nullptr, "");
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    // The bar exists anyway, where the panel leaves room for it.
    const HWND control = GetDlgItem(window_, IDC_LEVEL_BAR);
    ASSERT_NE(control, nullptr);
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 55);
    EXPECT_EQ(placed.top, 94);
    EXPECT_EQ(placed.right - placed.left, 150);
    EXPECT_EQ(placed.bottom - placed.top, 10);
    EXPECT_TRUE(barShows(0, Black));
    EXPECT_TRUE(numberShows("N/A", White));
    close();
}

TEST_F(TunerE2E, LibraryInTheStartFolderIsNotLoaded) {
    // Only the program's own folder and the system folders may supply the library.
    const std::string startFolder = folder_ + "start\\";
    ASSERT_TRUE(CreateDirectoryA(startFolder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileA(standinPath("full").c_str(), (startFolder + "SkyDll.dll").c_str(), FALSE));
    writeScript(startFolder, "Level=55\r\n");
    start(nullptr, "", FastTicks, startFolder.c_str());
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    EXPECT_TRUE(numberShows("N/A", White));
    close();
    EXPECT_FALSE(zvtest::fileExists(startFolder + "SkyDll.log"));
}

TEST_F(TunerE2E, RefusedOpenIsNeverFollowedByAnotherCall) {
    start("full", "OpenResult=1\r\nLevel=55\r\n");
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    EXPECT_TRUE(barShows(0, Black));
    EXPECT_TRUE(numberShows("N/A", White));
    close();
    EXPECT_EQ(log(), std::vector<std::string>({"SkyOpen zeroed=1 out=set arg3=0 arg4=0"}));
}

TEST_F(TunerE2E, RefusedAdapterIsNotClosedAtExit) {
    start("full", "HandleResult=5\r\nLevel=55\r\n");
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    EXPECT_TRUE(numberShows("N/A", White));
    // Through the caption's close path this time.
    PostMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(process_.waitForExit());
    EXPECT_EQ(process_.exitCode(), 0u);
    EXPECT_EQ(log(), std::vector<std::string>({"SkyOpen zeroed=1 out=set arg3=0 arg4=0",
                                               "SkyAdapterGetHandle index=0"}));
}

class IncompleteTunerE2E : public TunerE2E, public ::testing::WithParamInterface<const char*> {};

TEST_P(IncompleteTunerE2E, IsNeverCalled) {
    start(GetParam(), "Level=55\r\n");
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    EXPECT_TRUE(barShows(0, Black));
    EXPECT_TRUE(numberShows("N/A", White));
    close();
    EXPECT_EQ(log(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(OneExportMissing, IncompleteTunerE2E,
                         ::testing::Values("no_tuner_get", "no_close"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_F(TunerE2E, LevelBeforeTheFirstTickReadsNotAvailable) {
    start("full", "Level=55\r\n", "60000");
    ASSERT_FALSE(HasFatalFailure());
    idle(300);
    EXPECT_TRUE(barShows(0, Black));
    EXPECT_TRUE(numberShows("N/A", White));
    close();
    EXPECT_EQ(log(), std::vector<std::string>({"SkyOpen zeroed=1 out=set arg3=0 arg4=0",
                                               "SkyAdapterGetHandle index=0", "SkyClose"}));
}

TEST_F(TunerE2E, BarAndNumberFollowTheLevel) {
    start("full", "Handle=777\r\nStateCode=3\r\nLevel=55\r\n");
    ASSERT_FALSE(HasFatalFailure());
    const struct {
        int stateCode;
        int level;
        int percent;
        COLORREF barColour;
        const char* text;
        COLORREF textColour;
    } steps[] = {
        {3, 55, 55, Green, "55", Green},
        {3, 40, 40, Green, "40", Green},
        {3, 39, 39, Yellow, "39", Yellow},
        {3, 1, 1, Yellow, "01", Yellow},
        {3, 100, 100, Green, "100", Green},
        {3, 150, 100, Green, "150", Green},
        // Counted as 40 or more, so green, but the bar cannot go below empty.
        {3, -5, 0, Green, "-5", Green},
        {3, 1000, 100, Green, "999", Green},
        {3, 39, 39, Yellow, "39", Yellow},
        // Only state 3 carries a level: 0 empties the bar and leaves the number white.
        {2, 80, 0, Black, "00", White},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE("state " + std::to_string(step.stateCode) + " level " +
                     std::to_string(step.level));
        script("Handle=777\r\nStateCode=" + std::to_string(step.stateCode) +
               "\r\nLevel=" + std::to_string(step.level) + "\r\n");
        EXPECT_TRUE(barShows(step.percent, step.barColour));
        EXPECT_TRUE(numberShows(step.text, step.textColour));
    }
    close();
    const std::vector<std::string> lines = log();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "SkyOpen zeroed=1 out=set arg3=0 arg4=0");
    EXPECT_EQ(lines[1], "SkyAdapterGetHandle index=0");
    const std::string poll = "SkyAdapterTunerGet handle=777 size=192 ";
    EXPECT_EQ(lines[2].compare(0, poll.size(), poll), 0) << lines[2];
    EXPECT_EQ(lines.back(), "SkyClose");
    EXPECT_EQ(calls("SkyClose"), 1);
    EXPECT_EQ(calls("SkyOpen"), 1);
    EXPECT_EQ(calls("SkyAdapterGetHandle"), 1);
}

TEST_F(TunerE2E, FailedReadKeepsTheLastRecord) {
    // Nothing written yet: the record is still all zero, which reads as level 0.
    start("full", "Fill=0\r\nLevel=55\r\n");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(numberShows("00", White));
    script("Level=55\r\n");
    EXPECT_TRUE(numberShows("55", Green));
    script("Fill=0\r\nStateCode=2\r\nLevel=10\r\n");
    waitForPolls(5);
    EXPECT_TRUE(barShows(55, Green));
    EXPECT_TRUE(numberShows("55", Green));
    close();
}

TEST_F(TunerE2E, PollsGoOnWhileTheAboutBoxIsOpen) {
    start("full", "Level=20\r\n");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(numberShows("20", Yellow));
    PostMessageA(window_, WM_COMMAND, CmdAbout, 0);
    const HWND about = process_.waitForWindow("#32770");
    ASSERT_NE(about, nullptr) << "no About box";
    waitForPolls(5);
    script("Level=70\r\n");
    EXPECT_TRUE(barShows(70, Green));
    EXPECT_TRUE(IsWindow(about));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(zvtest::waitUntil([&] { return !IsWindow(about); }));
    close();
    EXPECT_EQ(calls("SkyClose"), 1);
}

} // namespace
