// The opt-in keys for unattended nights against a real target and the test drive: the
// event log of an excursion, the rehearsal switch, the grace period before the shutdown,
// and the commands run at the three transitions. No test here lets a shutdown through:
// a real one ends the whole Wine session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using Lines = std::vector<std::string>;

// The fields of one CSV row; quoted fields may hold commas and doubled quotes.
Lines csvFields(const std::string& row) {
    Lines fields(1);
    bool quoted = false;
    for (size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (c == '"' && quoted && i + 1 < row.size() && row[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

using zvtest::joined;

class NightE2E : public e2e::TargetOnTestDrive {
  protected:
    void SetUp() override {
        TargetOnTestDrive::SetUp();
        eventLog = targetLog + ".csv";
    }
    void TearDown() override {
        zvtest::removeFile(eventLog);
        TargetOnTestDrive::TearDown();
    }

    // Level 1 three megabytes below the free space at the start, level 2 ten below; the
    // target is closed at level 2 and the log is on.
    zvtest::IniKeys nightIni(const zvtest::IniKeys& changes = {}) const {
        return zvtest::withKeys(e2e::baseIni(),
                                zvtest::withKeys({{"level1", std::to_string(free - 3)},
                                                  {"level2", std::to_string(free - 10)},
                                                  {"ClassName", targetClass},
                                                  {"key", "00000082"},
                                                  {"DriveLetter", zvtest::testDrive()},
                                                  {"CloseTarget", "00000001"},
                                                  {"UpdateInterval", "00000050"},
                                                  {"LogFile", eventLog}},
                                                 changes));
    }

    // "event" or "event detail" of each row after the header.
    Lines events() const {
        Lines result;
        const Lines rows = zvtest::readLines(eventLog);
        for (size_t i = 1; i < rows.size(); ++i) {
            const Lines fields = csvFields(rows[i]);
            if (fields.size() == 7) {
                result.push_back(fields[1] + (fields[6].empty() ? "" : " " + fields[6]));
            }
        }
        return result;
    }
    bool logged(const std::string& event) const {
        return zvtest::waitUntil([&] {
            const Lines seen = events();
            return std::find(seen.begin(), seen.end(), event) != seen.end();
        });
    }
    static long position(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    }

    std::string eventLog;
};

TEST_F(NightE2E, TheLogTellsARealExcursionInOrder) {
    // The target refuses the first close, so the repeated request shows it adds no line.
    ASSERT_NE(startTarget({"--refuse-close", "1"}), nullptr);
    ASSERT_NE(product.start(nightIni()), nullptr);
    ASSERT_TRUE(logged("target-found")) << joined(events());

    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(6));
    ASSERT_TRUE(logged("key first 82")) << joined(events());
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(target.waitForExit()) << joined(events());
    ASSERT_TRUE(logged("target-lost")) << joined(events());
    filler.release();
    ASSERT_TRUE(logged("key second 82 (no target)")) << joined(events());
    EXPECT_EQ(product.closeAndWait(), 0u);

    Lines seen = events();
    ASSERT_GE(seen.size(), 9u) << joined(seen);
    const std::string recovered = seen[seen.size() - 3];
    EXPECT_EQ(recovered.rfind("recovered lasted ", 0), 0u) << joined(seen);
    seen[seen.size() - 3] = "recovered";
    const Lines expected = {"target-found",
                            "alarm",
                            "key first 82",
                            "close",
                            "target-lost",
                            "recovered",
                            "key second 82 (no target)",
                            "exit"};
    EXPECT_EQ(Lines(seen.begin() + 1, seen.end()), expected) << joined(seen);
    EXPECT_EQ(seen[0].rfind("start drive=D:\\ interval=50ms dry-run=off delay=0s", 0), 0u);

    const Lines rows = zvtest::readLines(eventLog);
    EXPECT_EQ(rows[0], "time,event,free_mb,level1,level2,target,detail");
    const Lines alarm = csvFields(rows[3]);
    ASSERT_EQ(alarm.size(), 7u) << rows[3];
    EXPECT_EQ(alarm[1], "alarm");
    EXPECT_LE(std::stoul(alarm[2]), free - 3) << "the tick's first measurement";
    EXPECT_EQ(alarm[3], std::to_string(free - 3));
    EXPECT_EQ(alarm[5], "present");
    EXPECT_EQ(alarm[0].size(), 19u) << "YYYY-MM-DD HH:MM:SS: " << alarm[0];
}

TEST_F(NightE2E, DryRunAtLevelTwoLeavesTheSessionRunningAndSaysSo) {
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(product.start(nightIni({{"ShutDownPC", "00000001"}, {"DryRun", "1"}})), nullptr);
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(logged("shutdown dry run")) << joined(events());
    // Ticks go on at level 2; a real request would have ended every process of the prefix.
    zvtest::flushEvents(500);
    EXPECT_TRUE(product.answers());
    const Lines seen = events();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "shutdown dry run"), 1) << joined(seen);
    EXPECT_EQ(position(seen, "shutdown requested"), static_cast<long>(seen.size()));
    filler.release();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

TEST_F(NightE2E, TheGracePeriodWaitsForATargetThatFinishesItsFileAfterClosing) {
    // Answers the close at once, goes 2 s later; the delay itself is far out of reach.
    ASSERT_NE(startTarget({"--close-after", "2000"}), nullptr);
    ASSERT_NE(product.start(nightIni(
                  {{"ShutDownPC", "00000001"}, {"DryRun", "1"}, {"ShutdownDelay", "600"}})),
              nullptr);
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(logged("shutdown armed")) << joined(events());
    ASSERT_TRUE(target.waitForExit()) << joined(events());
    ASSERT_TRUE(logged("shutdown dry run")) << joined(events());

    const Lines seen = events();
    EXPECT_LT(position(seen, "close"), position(seen, "shutdown armed")) << joined(seen);
    EXPECT_LT(position(seen, "shutdown armed"), position(seen, "target-lost")) << joined(seen);
    EXPECT_LT(position(seen, "target-lost"), position(seen, "shutdown dry run")) << joined(seen);
    const Lines closes = zvtest::readLines(targetLog);
    EXPECT_GT(std::count(closes.begin(), closes.end(), "WM_CLOSE 0 0"), 1)
        << "the close is repeated while the target is still there:" << joined(closes);
    filler.release();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

// A recorder that asks "Close the target?" when asked to close, and nobody answers: it is
// asked once, the shutdown (rehearsed here) still comes, and the ticks go on.
class AskingTargetE2E : public NightE2E {
  protected:
    void nightWith(const zvtest::IniKeys& keys) {
        ASSERT_NE(startTarget({"--title", "Recorder", "--ask-on-close"}), nullptr);
        ASSERT_NE(product.start(nightIni(
                      zvtest::withKeys({{"ShutDownPC", "00000001"}, {"DryRun", "1"}}, keys))),
                  nullptr);
        e2e::DriveFiller filler("zv-night.bin");
        ASSERT_TRUE(filler.fill(16));
        ASSERT_TRUE(logged("shutdown dry run")) << joined(events());
        const HWND question = FindWindowA("#32770", "Recorder question");
        ASSERT_NE(question, nullptr);
        filler.release();
        ASSERT_TRUE(zvtest::waitUntil([&] {
            const Lines seen = events();
            return std::find(seen.begin(), seen.end(), "key second 82") != seen.end();
        })) << "the ticks went on: "
            << joined(events());
        const Lines messages = zvtest::readLines(targetLog);
        EXPECT_EQ(std::count(messages.begin(), messages.end(), "WM_CLOSE 0 0"), 1)
            << "asked once: " << joined(messages);
        // Answered at last, the recorder goes.
        PostMessageA(question, WM_COMMAND, IDYES, 0);
        EXPECT_TRUE(target.waitForExit());
        EXPECT_EQ(product.closeAndWait(), 0u);
    }
};

TEST_F(AskingTargetE2E, TargetTimeoutLetsTheNightGoOn) {
    nightWith({{"TargetTimeout", "1"}});
    const Lines seen = events();
    EXPECT_LT(position(seen, "close no answer"), position(seen, "shutdown dry run"))
        << joined(seen);
}

TEST_F(AskingTargetE2E, TheGracePeriodHoldsWithoutTargetTimeout) {
    nightWith({{"ShutdownDelay", "2"}});
    const Lines seen = events();
    EXPECT_LT(position(seen, "shutdown armed"), position(seen, "shutdown dry run")) << joined(seen);
}

// --- Commands at the three transitions ---

class CommandE2E : public NightE2E {
  protected:
    void SetUp() override {
        NightE2E::SetUp();
        if (stopped()) {
            return;
        }
        // A blank in the folder's name: the command's own quotes must survive.
        folder = zvtest::tempFolder() + zvtest::uniqueName("zv cmds");
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* event : {"alarm", "level2", "recover"}) {
            // Each run leaves its environment, as text and as Windows holds it, then appends
            // its event and first argument.
            zvtest::writeFile(folder + "\\on " + event + ".bat",
                              std::string("@set > \"") + folder + "\\" + event + ".env\"\r\n@\"" +
                                  zvtest::testTargetPath() + "\" --save-environment \"" + folder +
                                  "\\" + event + ".envw\"\r\n@echo %ZEMBROVALE_EVENT% %~1>> \"" +
                                  folder + "\\runs.txt\"\r\n");
        }
    }
    void TearDown() override {
        for (const char* name :
             {"on alarm.bat", "on level2.bat", "on recover.bat", "runs.txt", "alarm.env",
              "level2.env", "recover.env", "alarm.envw", "level2.envw", "recover.envw"}) {
            zvtest::removeFile(folder + "\\" + name);
        }
        RemoveDirectoryA(folder.c_str());
        NightE2E::TearDown();
    }

    std::string command(const char* event) const {
        return "\"" + folder + "\\on " + event + ".bat\" \"" + event + " arg\"";
    }

    // The environment a command was started with, as Windows held it: "NAME=value" entries.
    std::vector<std::wstring> wideEnvironment(const char* event) const {
        const std::string bytes = zvtest::readFile(folder + "\\" + event + ".envw");
        std::wstring block(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(&block[0], bytes.data(), block.size() * sizeof(wchar_t));
        std::vector<std::wstring> entries;
        for (size_t at = 0; at < block.size(); at += entries.back().size() + 1) {
            entries.emplace_back(block.c_str() + at);
        }
        return entries;
    }

    // The ZEMBROVALE_ variables a command saw, by name.
    std::map<std::string, std::string> environment(const char* event) const {
        std::map<std::string, std::string> found;
        for (const std::string& line : zvtest::readLines(folder + "\\" + event + ".env")) {
            const size_t equals = line.find('=');
            if (line.rfind("ZEMBROVALE_", 0) == 0 && equals != std::string::npos) {
                found[line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        return found;
    }
    Lines runs() const { return zvtest::readLines(folder + "\\runs.txt"); }

    std::string folder;
};

// The program's environment reaches a command whole: a value outside the ANSI code page and
// more than the 64 KB that a fixed block once held, with the longest PATH there can be.
class BigEnvironment {
  public:
    const std::wstring name = L"ZV_TEST_USER=\u0416\u0435\u043d\u044f \u6771\u4eac";
    const std::wstring big = L"ZV_TEST_BIG=" + std::wstring(32000, L'b');
    std::wstring path = L"PATH=";
    BigEnvironment() {
        wchar_t saved[32767];
        const DWORD length = GetEnvironmentVariableW(L"PATH", saved, 32767);
        savedPath.assign(saved, length < 32767 ? length : 0);
        path += savedPath + L";C:\\" + std::wstring(32000 - savedPath.size(), L'p');
        SetEnvironmentVariableW(L"ZV_TEST_USER", name.c_str() + 13);
        SetEnvironmentVariableW(L"ZV_TEST_BIG", big.c_str() + 12);
        SetEnvironmentVariableW(L"PATH", path.c_str() + 5);
    }
    ~BigEnvironment() {
        SetEnvironmentVariableW(L"ZV_TEST_USER", nullptr);
        SetEnvironmentVariableW(L"ZV_TEST_BIG", nullptr);
        SetEnvironmentVariableW(L"PATH", savedPath.c_str());
    }

  private:
    std::wstring savedPath;
};

TEST_F(CommandE2E, EachTransitionRunsItsCommandOnceWithWhatItSaw) {
    ASSERT_NE(startTarget(), nullptr);
    const BigEnvironment outside;
    ASSERT_NE(product.start(nightIni({{"OnAlarm", command("alarm")},
                                      {"OnLevel2", command("level2")},
                                      {"OnRecover", command("recover")}})),
              nullptr);
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(6));
    ASSERT_TRUE(zvtest::waitUntil([&] { return runs().size() == 1; })) << joined(runs());
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(zvtest::waitUntil([&] { return runs().size() == 2; })) << joined(runs());
    ASSERT_TRUE(target.waitForExit());
    filler.release();
    ASSERT_TRUE(zvtest::waitUntil([&] { return runs().size() == 3; })) << joined(runs());
    zvtest::flushEvents(500);
    EXPECT_EQ(runs(), (Lines{"alarm alarm arg", "level2 level2 arg", "recover recover arg"}));

    const auto alarm = environment("alarm");
    EXPECT_EQ(alarm.at("ZEMBROVALE_EVENT"), "alarm");
    EXPECT_LE(std::stoul(alarm.at("ZEMBROVALE_FREE_MB")), free - 3);
    EXPECT_EQ(alarm.at("ZEMBROVALE_LEVEL1"), std::to_string(free - 3));
    EXPECT_EQ(alarm.at("ZEMBROVALE_LEVEL2"), std::to_string(free - 10));
    EXPECT_EQ(alarm.at("ZEMBROVALE_DRIVE"), zvtest::testDrive());
    EXPECT_EQ(alarm.at("ZEMBROVALE_TARGET"), "present");
    // The level-2 tick's first measurement may come before the filler has finished.
    EXPECT_LE(std::stoul(environment("level2").at("ZEMBROVALE_FREE_MB")), free - 3);
    EXPECT_EQ(environment("recover").at("ZEMBROVALE_TARGET"), "absent") << "closed at level 2";
    EXPECT_GT(std::stoul(environment("recover").at("ZEMBROVALE_FREE_MB")), free - 3);
    const std::vector<std::wstring> seenWhole = wideEnvironment("alarm");
    for (const std::wstring& entry :
         {outside.name, outside.big, outside.path, std::wstring(L"ZEMBROVALE_EVENT=alarm")}) {
        EXPECT_EQ(std::count(seenWhole.begin(), seenWhole.end(), entry), 1)
            << std::string(entry.begin(), entry.begin() + 16) << "... of " << entry.size()
            << " characters";
    }

    const Lines seen = events();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "command OnAlarm"), 1) << joined(seen);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "command OnRecover"), 1) << joined(seen);
    EXPECT_EQ(product.closeAndWait(), 0u);
}

TEST_F(CommandE2E, ACommandThatCannotStartIsLoggedAndChangesNothingElse) {
    // The interpreter itself is missing, so the start fails (file not found).
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("COMSPEC", saved, sizeof saved);
    SetEnvironmentVariableA("COMSPEC", "C:\\windows\\no-such-cmd.exe");
    ASSERT_NE(startTarget(), nullptr);
    const HWND started = product.start(nightIni({{"OnAlarm", command("alarm")}}));
    SetEnvironmentVariableA("COMSPEC", saved);
    ASSERT_NE(started, nullptr);

    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(6));
    ASSERT_TRUE(logged("command-failed OnAlarm error 2")) << joined(events());
    ASSERT_TRUE(zvtest::waitUntil([&] { return zvtest::readLines(targetLog).size() == 2; }));
    EXPECT_EQ(zvtest::readLines(targetLog), (Lines{"WM_KEYDOWN 82 0", "WM_KEYUP 82 0"}));
    EXPECT_TRUE(runs().empty());
    filler.release();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

// --- The reports for the tools that watch many machines ---

// (type, ID) of each report to the Application log, "2 8" for a warning with ID 8, as Wine's
// debug channel shows them (its event log keeps nothing).
Lines reports(const std::string& debugOutput) {
    Lines found;
    for (const std::string& line : zvtest::readLines(debugOutput)) {
        const std::size_t at = line.find("fixme:advapi:ReportEventA (");
        unsigned type = 0, id = 0;
        if (at != std::string::npos && std::sscanf(line.c_str() + line.find(',', at) + 1,
                                                   "0x%x,0x%*x,0x%x", &type, &id) == 2) {
            found.push_back(std::to_string(type) + " " + std::to_string(id));
        }
    }
    return found;
}

// Run by run_with_debug_output.sh, which keeps the standard error where the reports appear.
TEST_F(NightE2E, TheEventLogAndTheMetricsFileTellAnAlarmItsLevelTwoAndTheRecovery) {
    const std::string debugOutput = zvtest::windowsPath(zvtest::envVar("ZV_WINE_DEBUG_OUTPUT"));
    if (debugOutput == "Z:") {
        GTEST_SKIP() << "run through run_with_debug_output.sh";
    }
    const std::string metrics = zvtest::testDrive() + "zv-watch.prom";
    ASSERT_NE(startTarget(), nullptr);
    // The guard's reports go to the debug channel; this program's own stay off.
    SetEnvironmentVariableA("WINEDEBUG", "+eventlog");
    const HWND started = product.start(nightIni({{"ShutDownPC", "00000001"},
                                                 {"DryRun", "1"},
                                                 {"EventLog", "1"},
                                                 {"MetricsFile", metrics}}));
    SetEnvironmentVariableA("WINEDEBUG", "-all");
    ASSERT_NE(started, nullptr);
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(target.waitForExit()) << "closed at level 2";
    const auto reported = [&](const char* report) {
        return zvtest::waitUntil([&] {
            const Lines seen = reports(debugOutput);
            return std::find(seen.begin(), seen.end(), report) != seen.end();
        });
    };
    // The alarm (8), the close (10) and the rehearsed shutdown (11), as warnings.
    EXPECT_TRUE(reported("2 8") && reported("2 10") && reported("2 11"))
        << joined(reports(debugOutput));
    ASSERT_TRUE(zvtest::waitUntil([&] {
        return zvtest::readFile(metrics).find("zembrovale_level2{drive=\"D:\\\\\"} 1\n") !=
               std::string::npos;
    })) << zvtest::readFile(metrics);
    EXPECT_NE(
        zvtest::readFile(metrics).find("zembrovale_level_bytes{drive=\"D:\\\\\",level=\"1\"} " +
                                       std::to_string((free - 3) * 1048576ull) + "\n"),
        std::string::npos);
    filler.release();
    EXPECT_TRUE(reported("4 12")) << "the recovery, as information";
    std::string said;
    EXPECT_TRUE(zvtest::runLinuxCommand(
        "promtool check metrics < " + zvtest::testDriveDir() + "/zv-watch.prom", &said))
        << said;
    EXPECT_EQ(said, "");
    EXPECT_EQ(product.closeAndWait(), 0u);
    const std::string last = zvtest::readFile(metrics);
    EXPECT_EQ(last.substr(last.rfind("zembrovale_up")), "zembrovale_up{drive=\"D:\\\\\"} 0\n");
    zvtest::removeFile(metrics);
}

// --- Making room ---

// A recordings folder on the test drive: old finished recordings that may go, and files that
// must stay whatever happens.
class RoomE2E : public NightE2E {
  protected:
    void SetUp() override {
        NightE2E::SetUp();
        if (stopped()) {
            return;
        }
        onLinux = zvtest::testDriveDir() + "/zv-room";
        // Old recordings of 4 MB, the rest of 1, each written so many minutes ago; a Linux
        // link to a folder, which Wine lists as Windows lists a junction: a reparse point.
        std::string make = "rm -rf " + onLinux + "*; mkdir " + onLinux + " " + onLinux +
                           "-elsewhere && cd " + onLinux + " && ln -s ../zv-room-elsewhere linked";
        const std::pair<const char*, int> files[] = {
            {"old1.ts", 180},   {"old2.ts", 120}, {"young.ts", 0},     {"kept.ts", 300},
            {"notes.txt", 300}, {"held.ts", 240}, {"linked/x.ts", 300}};
        for (const auto& [name, minutesOld] : files) {
            make += std::string(" && fallocate -l ") + (name[0] == 'o' ? "4M " : "1M ") + name +
                    " && touch -d '" + std::to_string(minutesOld) + " minutes ago' " + name;
        }
        ASSERT_TRUE(zvtest::runLinuxCommand(make + " && chmod a-w kept.ts"));
        held = CreateFileA((folder + "\\held.ts").c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        free = e2e::testDriveFreeMegabytes();
    }
    void TearDown() override {
        CloseHandle(held);
        zvtest::runLinuxCommand("rm -rf " + onLinux + "*");
        NightE2E::TearDown();
    }

    // To reach: two megabytes above the free space with every file there.
    zvtest::IniKeys roomIni(const zvtest::IniKeys& changes = {}) const {
        return nightIni(zvtest::withKeys(
            {{"MakeRoom", folder + "\\*.ts"}, {"MakeRoomTo", std::to_string(free + 2)}}, changes));
    }
    bool there(const char* name) const { return zvtest::fileExists(folder + "\\" + name); }

    const std::string folder = zvtest::testDrive() + "zv-room";
    std::string onLinux;
    HANDLE held = INVALID_HANDLE_VALUE;
};

TEST_F(RoomE2E, TheOldestRecordingsGoInsteadOfTheAlarmAndTheKeyComesOnceNoneIsLeft) {
    ASSERT_NE(startTarget(), nullptr);
    ASSERT_NE(product.start(roomIni()), nullptr);
    ASSERT_TRUE(logged("target-found")) << joined(events());
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(5));
    ASSERT_TRUE(logged("make-room deleted " + folder + "\\old2.ts 4 MB")) << joined(events());
    zvtest::flushEvents(300);
    EXPECT_TRUE(zvtest::readLines(targetLog).empty()) << "no key: room was made";
    EXPECT_FALSE(there("old1.ts"));
    ASSERT_TRUE(filler.fill(5 + 12)) << "more than anything left to delete";
    ASSERT_TRUE(logged("key first 82")) << joined(events());
    const Lines seen = events();
    const long alarm = position(seen, "alarm");
    ASSERT_GT(alarm, 0) << joined(seen);
    EXPECT_EQ(seen[alarm - 1].rfind("make-room short by ", 0), 0u) << joined(seen);
    EXPECT_EQ(seen[alarm + 1], "key first 82") << "in the same check";
    EXPECT_EQ(
        std::count(seen.begin(), seen.end(), "make-room skipped " + folder + "\\held.ts in use"), 2)
        << "once each time room was to be made: " << joined(seen);
    for (const char* stays : {"young.ts", "kept.ts", "notes.txt", "held.ts"}) {
        EXPECT_TRUE(there(stays)) << stays;
    }
    EXPECT_TRUE(there("linked\\x.ts")) << "in a folder reached through a link";
    filler.release();
    EXPECT_EQ(product.closeAndWait(), 0u);
}

TEST_F(RoomE2E, ARehearsalDeletesNothingAndAFolderOnAnotherDriveIsRefused) {
    ASSERT_NE(product.start(roomIni({{"DryRun", "1"}})), nullptr);
    e2e::DriveFiller filler("zv-night.bin");
    ASSERT_TRUE(filler.fill(5));
    ASSERT_TRUE(logged("make-room would delete " + folder + "\\old2.ts 4 MB")) << joined(events());
    ASSERT_TRUE(logged("alarm")) << joined(events());
    EXPECT_TRUE(there("old1.ts") && there("old2.ts"));
    EXPECT_EQ(product.closeAndWait(), 0u);

    zvtest::ProductRun elsewhere;
    ASSERT_NE(elsewhere.start(roomIni({{"MakeRoom", "C:\\zv-room\\*.ts"}})), nullptr);
    EXPECT_TRUE(logged("make-room-refused not on the watched drive: C:\\zv-room\\*.ts"))
        << joined(events());
    filler.release();
    EXPECT_EQ(elsewhere.closeAndWait(), 0u);
}

} // namespace
