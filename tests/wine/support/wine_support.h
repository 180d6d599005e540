#pragma once
// Helpers shared by the tests that run under Wine: child processes with deadlines, a
// bounded message pump, files and INI text, screen pixels and the test drive.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zvtest {

// Default deadline for anything a test waits for. Generous: a stalled step fails the
// test instead of hanging it, and a healthy one returns in milliseconds.
constexpr DWORD DefaultWaitMs = 10000;

// Pumps this thread's messages for `ms` milliseconds; never longer.
void flushEvents(DWORD ms = 100);

// Pumps messages and re-checks `done` every few milliseconds until it holds or
// `timeoutMs` have passed. Returns the last answer of `done`.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = DefaultWaitMs);

// A process this test started. The destructor ends it if it is still running, so a
// failing test leaves nothing behind.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // CreateProcessA with this command line; false when it could not start. A show state
    // other than -1 goes to the child's start-up information (the show state it starts with).
    bool start(const std::string& commandLine, const char* workingDirectory = nullptr,
               int showState = -1);
    // The first top-level window of this process with the given class (and title, when
    // given), visible or hidden; null when none appeared before the deadline.
    HWND waitForWindow(const char* className, const char* title = nullptr,
                       DWORD timeoutMs = DefaultWaitMs);
    // True once the process has ended (waits up to timeoutMs).
    bool waitForExit(DWORD timeoutMs = DefaultWaitMs);
    // The exit code once ended; STILL_ACTIVE (259) while it runs.
    DWORD exitCode() const;
    bool running() const;
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    void terminate();
    // Holds and lets go of the first thread (a window program's message loop), so that a
    // test can change the world between two of its steps; false when the call fails.
    bool suspend();
    bool resume();

  private:
    PROCESS_INFORMATION info_{};
};

// Which process owns a window (0 when the window does not exist).
DWORD windowProcessId(HWND window);
// Every top-level window of a process with this class (and title, when given), visible or
// hidden, in Z order.
std::vector<HWND> processWindows(DWORD processId, const char* className,
                                 const char* title = nullptr);

// Windows path of a file the build produced, given its Linux path ("/a/b" -> "Z:\a\b").
std::string windowsPath(const std::string& unixPath);
// test_target.exe and zembrovale.exe of the same build as the running test.
std::string testTargetPath();
std::string productPath();
// This executable's own path and the INI file the product's code derives from it.
std::string ownExePath();
std::string ownIniPath();
// A unique name for classes, titles and files of one test ("prefix-<pid>-<n>").
std::string uniqueName(const char* prefix);
// Temporary folder of this user, ending in a backslash.
std::string tempFolder();

// Starts test_target.exe with the given arguments (quoted as needed) and waits for its
// window of class `className`. The window is null when it did not appear.
HWND startTarget(ChildProcess& process, const std::string& className,
                 const std::vector<std::string>& extraArgs = {});

// Whole file as bytes; empty when it cannot be read. Opened with full sharing, so a
// file another process is still writing can be read.
std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
void removeFile(const std::string& path);
// Lines of a text file without their line ends.
std::vector<std::string> readLines(const std::string& path);
// Lines for a failure message, one per row and indented; " (nothing)" for none.
std::string joined(const std::vector<std::string>& lines);

// Settings as key=value pairs, in the order they are written.
using IniKeys = std::vector<std::pair<std::string, std::string>>;

// `[section]` and each key=value with CRLF line ends.
std::string formatIni(const IniKeys& keys, const std::string& section = "Options");
// Writes formatIni(keys, section), replacing the file.
bool writeIni(const std::string& path, const IniKeys& keys, const std::string& section = "Options");
// `keys` with each of `changes` replacing the value of its key, or added when absent.
IniKeys withKeys(IniKeys keys, const IniKeys& changes);
// The value of `key` in INI text, or "<absent>".
std::string iniValue(const std::string& text, const std::string& key);

// The colour of one screen pixel (GetDC(NULL) + GetPixel); CLR_INVALID off-screen.
COLORREF screenPixel(int x, int y);

// Pixels of a screen rectangle, copied in one BitBlt. Coordinates passed to at() and
// count() are relative to the rectangle's top-left corner.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels of exactly `colour` inside `area` (clipped to the image).
    int count(COLORREF colour, const RECT& area) const;
    bool operator==(const ScreenImage& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const ScreenImage& other) const { return !(*this == other); }
};
ScreenImage captureScreen(const RECT& area);

// A 32-bit top-down bitmap selected into a memory DC: draw or copy into dc(), then read
// the result back as colours.
class PixelCanvas {
  public:
    PixelCanvas(int width, int height);
    ~PixelCanvas();
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc() const { return memory_; }
    // What the bitmap holds now; CLR_INVALID everywhere when it could not be created.
    ScreenImage image() const;

  private:
    int width_;
    int height_;
    HDC memory_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

// A window's outer rectangle and its client area, both in screen coordinates.
RECT windowRectOnScreen(HWND window);
RECT clientRectOnScreen(HWND window);

// Environment helpers; `fallback` when the variable is not set.
std::string envVar(const char* name, const std::string& fallback = "");
// The tmpfs drive set up by scripts/wine-env.sh: its root ("D:\"), its Linux folder and
// its size in MiB. testDrive() is empty when the environment does not provide one.
std::string testDrive();
std::string testDriveDir();
std::uint32_t testDriveMegabytes();
// Free space of a root path in whole MiB as GetDiskFreeSpaceExA reports it, a second
// opinion next to the product's own measurement; false when the call fails.
bool freeMegabytes(const std::string& root, std::uint32_t* megabytes);
// Creates `path` with exactly `bytes` bytes of data through CreateFileA/WriteFile.
bool writeSizedFile(const std::string& path, std::uint64_t bytes);

// Runs a Linux shell command (Wine starts Linux programs too) and waits for it: true when it
// exited with 0. `output`, when given, gets what it printed. The command holds no double
// quote.
bool runLinuxCommand(const std::string& command, std::string* output = nullptr);

} // namespace zvtest
