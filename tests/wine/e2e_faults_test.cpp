// Faults the running program must live through without a crash or a lost setting: its
// drive vanishing, its settings file turning read-only, a target that dies in the middle of
// a key press or stops answering, and settings files full of garbage.
//
// ZV_SOAK_INIS sets how many garbled files are tried (default 20; `make soak` tries 200);
// ZV_GARBLED_SEED and ZV_GARBLED_CASE replay one case of a failed run.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "actions/target_window.h"
#include "support/product_run.h"
#include "support/target_protocol.h"
#include "support/wine_support.h"
#include "ui/tray_menu.h"

namespace {

constexpr const char* DriveWarning = "Drive Letter is not correct..Check ini file.";
// Long enough for several ticks at the 20 ms period these tests use.
constexpr DWORD SeveralTicksMs = 300;

constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF InactiveTeal = RGB(100, 140, 140);
// Panel cells in client coordinates: the free-space number and "Active"/"Inactive".
constexpr RECT FreeNumberCell = {160, 10, 244, 30};
constexpr RECT TargetStatusCell = {160, 70, 244, 90};

unsigned envCount(const char* name, unsigned fallback) {
    const std::string text = zvtest::envVar(name);
    return text.empty() ? fallback : static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
}

using Keys = zvtest::IniKeys;
using zvtest::ProductRun;
using zvtest::withKeys;

// Settings given byte for byte: the INI text of `keys` with `before` and `after` around it.
std::string iniText(const Keys& keys, const std::string& before = "",
                    const std::string& after = "") {
    return before + zvtest::formatIni(keys) + after;
}

class FaultE2E : public ::testing::Test {
  protected:
    void TearDown() override {
        zvtest::removeFile(logPath);
        if (!fillerPath.empty()) {
            zvtest::removeFile(fillerPath);
        }
    }

    bool haveTestDrive() const { return !zvtest::testDrive().empty(); }

    // Nothing happens on a tick but the lookup, the measurement and the repaint.
    Keys quietKeys() const {
        return {
            {"level1", "-0000020"},      {"level2", "-0000020"},     {"ClassName", targetClass},
            {"WindowName", "NULL"},      {"x", "00000040"},          {"y", "00000040"},
            {"frequency", "00000000"},   {"key", "00000082"},        {"DriveLetter", "C:\\"},
            {"CloseTarget", "00000001"}, {"ShutDownPC", "00000000"}, {"UpdateInterval", "00000020"},
            {"HideTarget", "00000000"}};
    }

    // Every tick asks the target to close; a target that refuses counts the ticks.
    Keys closingKeys() const {
        return withKeys(quietKeys(),
                        {{"level1", "2000000000"}, {"level2", "2000000000"}, {"key", "00000000"}});
    }

    HWND startTarget(const std::vector<std::string>& extra) { return startTarget(target, extra); }
    HWND startTarget(zvtest::ChildProcess& process, const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"--log", logPath, "--rect", "500", "500", "240", "120"};
        args.insert(args.end(), extra.begin(), extra.end());
        return zvtest::startTarget(process, targetClass, args);
    }

    std::vector<std::string> log() const { return zvtest::readLines(logPath); }
    bool logHas(const std::string& line) {
        return zvtest::waitUntil([&] {
            for (const std::string& logged : log()) {
                if (logged == line) {
                    return true;
                }
            }
            return false;
        });
    }

    unsigned closesRefused(HWND targetWindow) {
        DWORD_PTR refused = 0;
        SendMessageTimeoutA(targetWindow, TargetQueryRefused, 0, 0, SMTO_ABORTIFHUNG, 2000,
                            &refused);
        return static_cast<unsigned>(refused);
    }
    // The program goes on ticking: the target gets `ticks` more close requests.
    bool keepsTicking(HWND targetWindow, unsigned ticks = 5) {
        const unsigned from = closesRefused(targetWindow);
        return zvtest::waitUntil([&] { return closesRefused(targetWindow) >= from + ticks; });
    }

    // Takes `megabytes` of the test drive until the test ends.
    bool fillDrive(std::uint32_t megabytes) {
        fillerPath = zvtest::testDrive() + zvtest::uniqueName("zv-faults") + ".bin";
        return zvtest::writeSizedFile(fillerPath, static_cast<std::uint64_t>(megabytes) * 1048576u);
    }

    std::string targetClass = zvtest::uniqueName("zv-faults-target");
    std::string logPath = zvtest::tempFolder() + targetClass + ".log";
    std::string fillerPath;
    zvtest::ChildProcess target;
    ProductRun program;
};

// --- The watched drive goes away ---

TEST_F(FaultE2E, DriveThatVanishesWarnsOnceAndKeepsEverySetting) {
    if (!haveTestDrive()) {
        GTEST_SKIP() << "no test drive: run through scripts/wine-tests.sh";
    }
    // Seven characters, the most DriveLetter holds.
    const std::string folder = zvtest::testDrive() + "zvv";
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // A lock, a level below zero, a comment and a second section: none of it may be lost.
    const Keys keys = withKeys(quietKeys(), {{"DriveLetter", folder + "\\"},
                                             {"WindowName", "Some title"},
                                             {"frequency", "00000440"},
                                             {"HideTarget", "00000100"}});
    const std::string comment = "; watched by the fault tests\r\n";
    const std::string other = "[Other]\r\nnote=kept\r\n";
    ASSERT_NE(program.startWithIniBytes(iniText(keys, comment, other)), nullptr);
    ASSERT_TRUE(program.panelShows(FreeNumberCell, Green)) << "the folder's space is not shown";

    // Moved, so that the end has a new place to store.
    SetWindowPos(program.mainWindow(), nullptr, 300, 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(zvtest::waitUntil(
        [&] { return zvtest::windowRectOnScreen(program.mainWindow()).left == 300; }));

    ASSERT_TRUE(RemoveDirectoryA(folder.c_str()));
    ASSERT_TRUE(zvtest::waitUntil([&] { return !program.warnings().empty(); }))
        << "no warning after the folder went";
    const HWND box = program.warnings().front();
    ASSERT_TRUE(zvtest::waitUntil([&] { return IsWindowVisible(box) != FALSE; }));
    char text[128] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, DriveWarning);
    // Repaints while the box is open measure the missing folder again; none may warn again.
    RedrawWindow(program.mainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    EXPECT_FALSE(zvtest::waitUntil([&] { return program.warnings().size() > 1; }, SeveralTicksMs))
        << "a second warning";
    EXPECT_TRUE(program.process().running()) << "ended before the warning was answered";

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    size_t mostBoxes = 1;
    const bool ended = zvtest::waitUntil([&] {
        mostBoxes = std::max(mostBoxes, program.warnings().size());
        return !program.process().running();
    });
    ASSERT_TRUE(ended) << "the program goes on after the warning";
    EXPECT_EQ(mostBoxes, 1u) << "a second warning after the first was answered";
    EXPECT_EQ(program.process().exitCode(), 0u);
    const Keys stored = withKeys(keys, {{"x", "00000300"}, {"y", "00000200"}});
    EXPECT_EQ(program.iniText(), iniText(stored, comment, other))
        << "only the window's place may change";
}

// --- The settings file cannot be written any more ---

// Only this process may write `path` while it exists: another program holds the file open
// for reading and shares it for reading alone.
class FileHolder {
  public:
    explicit FileHolder(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileHolder() {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
        }
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool holds() const { return file_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE file_;
};

bool writable(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

class FaultSettingsFileE2E : public FaultE2E {
  protected:
    void SetUp() override {
        targetWindow = startTarget({"--refuse-close", "2000000000"});
        ASSERT_NE(targetWindow, nullptr);
        ASSERT_NE(program.startWithIniBytes(iniText(closingKeys())), nullptr);
        ASSERT_TRUE(keepsTicking(targetWindow)) << "the program does not tick";
        before = program.iniText();
    }

    // The lock command and the end both save; with the file blocked each save fails and
    // nothing is shown, while the lock itself, the ticks and the end go on as usual.
    void expectSavesFailSilently() {
        ASSERT_FALSE(writable(program.iniPath()));
        // Moved, so that a stored place would show in the file.
        SetWindowPos(program.mainWindow(), nullptr, 333, 222, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (const bool locked : {true, false}) {
            SCOPED_TRACE(locked ? "lock" : "unlock");
            PostMessageA(program.mainWindow(), WM_COMMAND, CmdLockTarget, 0);
            EXPECT_TRUE(zvtest::waitUntil([&] {
                return SendMessageA(targetWindow, TargetQueryEnabled, 0, 0) == (locked ? 0 : 1);
            })) << "the lock did not reach the target";
            EXPECT_TRUE(keepsTicking(targetWindow)) << "the program stopped ticking";
            EXPECT_TRUE(zvtest::processWindows(program.process().id(), "#32770").empty())
                << "the failed save was reported";
            EXPECT_EQ(program.iniText(), before);
        }
        EXPECT_EQ(program.closeAndWait(), 0u);
        EXPECT_EQ(program.iniText(), before) << "the blocked file was changed";
    }

    HWND targetWindow = nullptr;
    std::string before;
};

TEST_F(FaultSettingsFileE2E, ReadOnlyFileFailsToSaveSilently) {
    ASSERT_TRUE(SetFileAttributesA(program.iniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    if (writable(program.iniPath())) {
        GTEST_SKIP() << "the read-only attribute does not stop writes here (Wine run as root "
                        "ignores it); the file held open by another program stands in";
    }
    expectSavesFailSilently();
}

TEST_F(FaultSettingsFileE2E, FileHeldOpenByAnotherProgramFailsToSaveSilently) {
    FileHolder holder(program.iniPath());
    ASSERT_TRUE(holder.holds());
    expectSavesFailSilently();
}

// --- The target goes away or stops answering in the middle of an action ---

TEST_F(FaultE2E, TargetThatEndsDuringTheKeyPress) {
    if (!haveTestDrive()) {
        GTEST_SKIP() << "no test drive: run through scripts/wine-tests.sh";
    }
    struct Case {
        const char* option;
        const char* what;
    };
    const Case cases[] = {
        {"--exit-on-keydown", "the window is destroyed while it handles the key-down"},
        {"--die-on-keydown", "the process ends before it answers the key-down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        targetClass = zvtest::uniqueName("zv-faults-target");
        zvtest::removeFile(logPath);
        zvtest::ChildProcess dying;
        ASSERT_NE(startTarget(dying, {c.option}), nullptr);

        std::uint32_t free = 0;
        ASSERT_TRUE(zvtest::freeMegabytes(zvtest::testDrive(), &free));
        // Above level 1 at first; six megabytes taken bring the alarm and its key press.
        ProductRun run;
        ASSERT_NE(run.startWithIniBytes(iniText(withKeys(
                      quietKeys(), {{"level1", std::to_string(static_cast<long>(free) - 3)},
                                    {"DriveLetter", zvtest::testDrive()},
                                    {"CloseTarget", "00000000"}}))),
                  nullptr);
        ASSERT_TRUE(run.panelShows(TargetStatusCell, Green)) << "the target is not found";
        ASSERT_TRUE(fillDrive(6));
        ASSERT_TRUE(dying.waitForExit()) << "the target got no key press";
        EXPECT_EQ(log(), std::vector<std::string>{"WM_KEYDOWN 82 0"});

        // Ticks go on without the target, and the second press on the way up finds none.
        EXPECT_TRUE(run.panelShows(TargetStatusCell, InactiveTeal)) << "no tick after";
        EXPECT_TRUE(run.panelShows(FreeNumberCell, Red));
        zvtest::removeFile(fillerPath);
        EXPECT_TRUE(run.panelShows(FreeNumberCell, Green)) << "no tick after the recovery";
        EXPECT_TRUE(run.answers());
        EXPECT_EQ(run.closeAndWait(), 0u);
    }
}

TEST_F(FaultE2E, ShortLivedTargetsComeAndGoBetweenLookupAndAction) {
    // Every 10 ms tick looks the target up, then presses the key or asks it to close,
    // looking it up again: targets that live a few milliseconds end between the two.
    ASSERT_NE(program.startWithIniBytes(iniText(
                  withKeys(closingKeys(), {{"UpdateInterval", "00000001"}, {"key", "00000082"}}))),
              nullptr);
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i) {
        zvtest::ChildProcess brief;
        const std::string lifetime = std::to_string(2 + random() % 40);
        std::string line = "\"" + zvtest::testTargetPath() + "\" --class " + targetClass +
                           " --refuse-close 1 --lifetime " + lifetime;
        ASSERT_TRUE(brief.start(line));
        ASSERT_TRUE(brief.waitForExit()) << "target " << i << " did not end";
        ASSERT_TRUE(program.process().running()) << "ended with target " << i;
    }
    EXPECT_TRUE(program.answers());
    EXPECT_TRUE(program.panelShows(TargetStatusCell, InactiveTeal));
    EXPECT_EQ(program.closeAndWait(), 0u);
}

// A target that stops answering blocks the program: the key press, the close request and
// the lock are synchronous messages, so until the target answers, no tick, command or
// paint of the program runs. That is intended: the program acts on the target in order and
// never skips an action. It resumes by itself once the target answers.
TEST_F(FaultE2E, HangingTargetHoldsTheProgramUntilItAnswers) {
    const std::string eventName = zvtest::uniqueName("zv-faults-release");
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(release, nullptr);
    ASSERT_NE(startTarget({"--hang-on-keydown", eventName}), nullptr);
    ASSERT_NE(program.startWithIniBytes(iniText(
                  withKeys(quietKeys(), {{"level1", "2000000000"}, {"CloseTarget", "00000000"}}))),
              nullptr);
    ASSERT_TRUE(logHas("WM_KEYDOWN 82 0")) << "the target got no key press";

    // The lock command waits behind the unanswered key press.
    PostMessageA(program.mainWindow(), WM_COMMAND, CmdLockTarget, 0);
    const auto lockStored = [&] {
        return program.iniText().find("HideTarget=00000100") != std::string::npos;
    };
    EXPECT_FALSE(zvtest::waitUntil(lockStored, 1000)) << "the program ran on past the target";
    EXPECT_EQ(log(), std::vector<std::string>{"WM_KEYDOWN 82 0"});
    EXPECT_TRUE(program.process().running());

    SetEvent(release);
    EXPECT_TRUE(logHas("WM_KEYUP 82 0")) << "the key-up did not follow";
    EXPECT_TRUE(zvtest::waitUntil(lockStored)) << "the waiting command was lost";
    EXPECT_TRUE(program.answers());
    EXPECT_EQ(program.closeAndWait(), 0u);
    CloseHandle(release);
}

// --- Garbled settings files ---

enum class Garble { RandomBytes, LongLines, NoSection, ExtremeNumbers, EmptyValues, Mixed, Count };

const char* garbleName(Garble kind) {
    switch (kind) {
    case Garble::RandomBytes:
        return "random bytes";
    case Garble::LongLines:
        return "very long lines";
    case Garble::NoSection:
        return "missing or misspelt section";
    case Garble::ExtremeNumbers:
        return "huge and negative numbers";
    case Garble::EmptyValues:
        return "empty values";
    default:
        return "mixed";
    }
}

const char* const KeyNames[] = {"level1",      "level2",      "ClassName",  "WindowName",
                                "x",           "y",           "frequency",  "key",
                                "DriveLetter", "CloseTarget", "ShutDownPC", "UpdateInterval",
                                "HideTarget"};

const char* const OddNumbers[] = {"2147483647",
                                  "-2147483648",
                                  "4294967295",
                                  "-1",
                                  "99999999999999999999",
                                  "-99999999999",
                                  "0x7FFFFFFF",
                                  "57005",
                                  "122541",
                                  "-0",
                                  "+5",
                                  "  -12abc",
                                  "1e9",
                                  "00000000000000000001",
                                  "0",
                                  "abc",
                                  "--5",
                                  "\t7"};

// Drive roots that exist, do not, or are no root at all; never a network path, which
// could keep the measurement waiting on the network.
const char* const OddDrives[] = {"C:\\", "D:\\",  "Z:\\",    "Q:\\",       "",
                                 "C:",   "CC:\\", "\\",      "D:\\none\\", "C:\\windows",
                                 "c:\\", "1:\\",  "DEFAULT", "default"};

class Garbler {
  public:
    Garbler(unsigned seed, unsigned index) : random_(seed * 1000003u + index) {}

    std::string make(Garble kind) {
        switch (kind) {
        case Garble::RandomBytes:
            return bytes(1 + pick(4096));
        case Garble::LongLines:
            return longLines();
        case Garble::NoSection:
            return noSection();
        case Garble::ExtremeNumbers:
            return keysWith([&](const std::string& key) { return value(key, true); });
        case Garble::EmptyValues:
            return emptyValues();
        default:
            return mixed();
        }
    }

  private:
    unsigned pick(unsigned count) { return static_cast<unsigned>(random_() % count); }
    template <typename T, size_t N> const T& pickFrom(const T (&items)[N]) {
        return items[pick(N)];
    }

    std::string bytes(unsigned count) {
        std::string text;
        for (unsigned i = 0; i < count; ++i) {
            text += static_cast<char>(random_() & 0xFF);
        }
        return text;
    }
    std::string printable(unsigned count) {
        std::string text;
        for (unsigned i = 0; i < count; ++i) {
            text += static_cast<char>(' ' + 1 + pick(94));
        }
        return text;
    }

    // A value for `key`, odd where `odd` is set. ClassName always starts with a prefix no
    // real window has, so no garbled file can name a window the program would act on, and
    // ShutDownPC always reads as 0.
    std::string value(const std::string& key, bool odd) {
        if (key == "ClassName") {
            return "zv-garbled-" + (odd ? printable(pick(120)) : std::string("class"));
        }
        if (key == "WindowName") {
            return odd ? printable(pick(300)) : "NULL";
        }
        if (key == "DriveLetter") {
            return odd ? pickFrom(OddDrives) : "C:\\";
        }
        if (key == "ShutDownPC") {
            static const char* const Zeros[] = {"0", "", "-0", "00000000", "abc", " 0 "};
            return pickFrom(Zeros);
        }
        return odd ? pickFrom(OddNumbers) : "00000010";
    }

    template <typename ValueOf> std::string keysWith(ValueOf valueOf) {
        std::string text = "[Options]\r\n";
        for (const char* key : KeyNames) {
            text += std::string(key) + "=" + valueOf(key) + "\r\n";
        }
        return text;
    }

    std::string longLines() {
        std::string text = "[Options]\r\n";
        for (const char* key : KeyNames) {
            const std::string name = key;
            std::string stored = value(name, false);
            if (pick(2) == 0 && name != "ShutDownPC") {
                stored = (name == "ClassName" ? "zv-garbled-" : "") +
                         std::string(5000 + pick(60000), '7');
            }
            text += name + "=" + stored + "\r\n";
        }
        text += std::string(100000, 'x') + "\r\n";                      // a line with no '='
        text += std::string(70000, 'k') + "=" + printable(20) + "\r\n"; // a huge key name
        return text;
    }

    std::string noSection() {
        static const char* const Headers[] = {"",
                                              "[Option]\r\n",
                                              "[options\r\n",
                                              "[]\r\n",
                                              "Options\r\n",
                                              "[ Options ]\r\n",
                                              "[Options]]\r\n"};
        std::string text = pickFrom(Headers);
        for (const char* key : KeyNames) {
            text += std::string(key) + "=" + value(key, pick(2) == 0) + "\r\n";
        }
        return text;
    }

    std::string emptyValues() {
        std::string text = "[Options]\r\n";
        for (const char* key : KeyNames) {
            static const char* const Forms[] = {"%s=\r\n", "%s= \r\n", "%s\r\n", "%s=\"\"\r\n",
                                                "=%s\r\n"};
            char line[64];
            std::snprintf(line, sizeof line, pickFrom(Forms), key);
            text += line;
        }
        return text;
    }

    std::string mixed() {
        static const char* const Ends[] = {"\r\n", "\n", "\r", ""};
        // No mark, the UTF-8 and both UTF-16 byte-order marks, a NUL.
        static const std::string Starts[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF",
                                             std::string(1, '\0')};
        std::string text = pickFrom(Starts);
        for (unsigned line = 0, lines = 1 + pick(30); line < lines; ++line) {
            const unsigned what = pick(6);
            const std::string key = pickFrom(KeyNames);
            if (what == 0) {
                text += "[Options]";
            } else if (what == 1) {
                text += bytes(pick(40));
            } else {
                std::string name = key;
                if (pick(3) == 0) { // key names are read whatever their case
                    for (char& c : name) {
                        c = pick(2) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                                    : c;
                    }
                }
                text += name + "=" + value(key, pick(3) != 0);
            }
            text += pickFrom(Ends);
        }
        return text;
    }

    std::mt19937 random_;
};

// Non-printing bytes as \xNN, cut to a readable length.
std::string excerpt(const std::string& bytes) {
    std::string shown;
    for (size_t i = 0; i < bytes.size() && shown.size() < 240; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 32 && c < 127) {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown + (bytes.size() > 240 ? "... (" + std::to_string(bytes.size()) + " bytes)" : "");
}

TEST_F(FaultE2E, GarbledSettingsFilesStartAndEndCleanly) {
    const unsigned seed = envCount("ZV_GARBLED_SEED", 20240611);
    const unsigned count = envCount("ZV_SOAK_INIS", 20);
    const std::string only = zvtest::envVar("ZV_GARBLED_CASE");
    const unsigned first = only.empty() ? 0 : envCount("ZV_GARBLED_CASE", 0);
    const unsigned last = only.empty() ? count : first + 1;
    unsigned warned = 0;
    for (unsigned index = first; index < last; ++index) {
        const auto kind = static_cast<Garble>(index % static_cast<unsigned>(Garble::Count));
        const std::string bytes = Garbler(seed, index).make(kind);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", case " + std::to_string(index) + " (" +
                     garbleName(kind) + "; replay with ZV_GARBLED_SEED=" + std::to_string(seed) +
                     " ZV_GARBLED_CASE=" + std::to_string(index) + "): " + excerpt(bytes));
        ProductRun run;
        const HWND mainWindow = run.startWithIniBytes(bytes);
        ASSERT_NE(mainWindow, nullptr) << "no main window";
        ASSERT_TRUE(zvtest::waitUntil([&] { return IsWindowVisible(mainWindow) != FALSE; }))
            << "the window is not shown";
        ASSERT_TRUE(run.answers()) << "the program does not answer";
        // The first paint measures the drive right after it validates the window; a bad
        // drive's warning follows within moments.
        zvtest::waitUntil(
            [&] { return !run.warnings().empty() || !GetUpdateRect(mainWindow, nullptr, FALSE); });
        zvtest::waitUntil([&] { return !run.warnings().empty(); }, 100);
        const std::vector<HWND> boxes = run.warnings();
        if (!boxes.empty()) {
            ++warned;
            ASSERT_EQ(boxes.size(), 1u);
            ASSERT_TRUE(zvtest::waitUntil([&] { return IsWindowVisible(boxes[0]) != FALSE; }));
            char text[128] = "";
            GetDlgItemTextA(boxes[0], 0xFFFF, text, sizeof text);
            EXPECT_STREQ(text, DriveWarning);
            PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
        } else {
            PostMessageA(mainWindow, WM_COMMAND, CmdClose, 0);
        }
        ASSERT_TRUE(run.process().waitForExit()) << "the program did not end";
        ASSERT_EQ(run.process().exitCode(), 0u);
    }
    std::printf("garbled settings: %u files from seed %u, %u ended by the drive warning\n",
                last - first, seed, warned);
}

} // namespace
