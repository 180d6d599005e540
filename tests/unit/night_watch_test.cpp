// The opt-in keys for unattended nights: the event log, the rehearsal switch and the grace
// period before the shutdown, and that without them a tick is exactly what it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "actions/make_room.h"
#include "actions/target_window.h"
#include "app/frame.h"
#include "eventlog/event_log.h"
#include "eventlog/system_log.h"
#include "monitor/alarm_state.h"
#include "monitor/fill_estimate.h"
#include "monitor/free_space.h"
#include "monitor/room_making.h"
#include "settings/section_text.h"
#include "settings/settings.h"
#include "tests/unit/fake_command_platform.h"
#include "tests/unit/fake_log_platform.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_room_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "ui/tray_menu.h"

namespace {

using Calls = std::vector<std::string>;
WindowHandle const mainWindow = reinterpret_cast<WindowHandle>(0x1234);
const std::string LogPath = "C:\\tools\\night.csv";

class NightWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        fake::ini = {{"level1", "500"},       {"level2", "100"},    {"ClassName", "Rec"},
                     {"WindowName", "NULL"},  {"frequency", "800"}, {"key", "82"},
                     {"DriveLetter", "D:\\"}, {"CloseTarget", "1"}, {"ShutDownPC", "1"}};
        alarmState = AlarmState{};
        driveFailureReported = false;
        FillEstimate::reset();
        TargetWindow::findTarget(); // finds none, so no close of an earlier test is pending
    }

    void load(std::vector<std::pair<std::string, std::string>> extra = {}) {
        for (const auto& [key, value] : extra) {
            fake::ini[key] = value;
        }
        SettingsFile::load();
    }

    // One WM_TIMER: the tick and what it tells others at its end.
    Calls tickAt(std::uint32_t freeMegabytes, std::uint64_t secondsLater = 5) {
        fake::calls.clear();
        fake::freeMegabytes = freeMegabytes;
        fake::clockMs += secondsLater * 1000;
        Frame::onTimer(mainWindow);
        return fake::calls;
    }

    static void openTarget() { fake::windows.push_back({"Rec", "Recorder"}); }

    // "event detail" of each line after the header; no line here has a quoted field.
    static std::vector<std::string> events(const std::string& log = LogPath) {
        std::vector<std::string> result;
        const auto lines = fakelog::lines(log);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::vector<std::string> fields(1);
            for (char c : lines[i]) {
                if (c == ',' && fields.size() < 7) {
                    fields.emplace_back();
                } else {
                    fields.back() += c;
                }
            }
            result.push_back(fields[1] + (fields[6].empty() ? "" : " " + fields[6]));
        }
        return result;
    }
};

using fake::countCalls;
using fake::shutdownCalls;

TEST_F(NightWatchTest, WithoutTheNewKeysAnExcursionMakesExactlyTheOldCalls) {
    load();
    openTarget();
    EXPECT_EQ(tickAt(600),
              (Calls{"FindWindowA Rec|(any)", "GetDiskFreeSpaceA D:\\", "InvalidateRect"}));
    Calls levelTwo = {"FindWindowA Rec|(any)",
                      "GetDiskFreeSpaceA D:\\",
                      "Beep 800 256",
                      "InvalidateRect",
                      "FindWindowA Rec|(any)",
                      "SetForegroundWindow Recorder",
                      "SendMessageA Recorder WM_KEYDOWN 82 0",
                      "SendMessageA Recorder WM_KEYUP 82 0",
                      "GetDiskFreeSpaceA D:\\",
                      "FindWindowA Rec|(any)",
                      "SendMessageA Recorder WM_CLOSE 0 0"};
    levelTwo.insert(levelTwo.end(), shutdownCalls.begin(), shutdownCalls.end());
    EXPECT_EQ(tickAt(50), levelTwo);
    Calls again = {"FindWindowA Rec|(any)",
                   "GetDiskFreeSpaceA D:\\",
                   "Beep 800 256",
                   "InvalidateRect",
                   "GetDiskFreeSpaceA D:\\",
                   "FindWindowA Rec|(any)",
                   "SendMessageA Recorder WM_CLOSE 0 0"};
    again.insert(again.end(), shutdownCalls.begin(), shutdownCalls.end());
    EXPECT_EQ(tickAt(50), again);
    EXPECT_EQ(tickAt(600),
              (Calls{"FindWindowA Rec|(any)", "GetDiskFreeSpaceA D:\\", "FindWindowA Rec|(any)",
                     "SetForegroundWindow Recorder", "SendMessageA Recorder WM_KEYDOWN 82 0",
                     "SendMessageA Recorder WM_KEYUP 82 0", "InvalidateRect"}));
    EXPECT_TRUE(fakelog::files.empty());
}

TEST_F(NightWatchTest, TheLogTellsAnExcursionOnceEachInTheTicksOrder) {
    load({{"LogFile", "night.csv"}});
    tickAt(600);
    const Calls quiet = tickAt(600);
    EXPECT_EQ(countCalls(quiet, "CreateFileA") + countCalls(quiet, "GetLocalTime"), 0)
        << "no event, no file";
    openTarget();
    tickAt(450); // alarm; the target appeared with it
    tickAt(50);  // level 2
    tickAt(40);  // repeated close and shutdown: no new lines
    fake::windows.clear();
    tickAt(600, 65);
    EXPECT_EQ(events(),
              (std::vector<std::string>{"target-found", "alarm", "key first 82", "close",
                                        "shutdown requested", "shutdown accepted", "target-lost",
                                        "recovered lasted 75 s", "key second 82 (no target)"}));
    EXPECT_EQ(fakelog::lines(LogPath)[0], "time,event,free_mb,level1,level2,target,detail");
    EXPECT_EQ(fakelog::lines(LogPath)[1], "2026-12-07 23:05:09,target-found,450,500,100,present,");
}

TEST_F(NightWatchTest, ARefusalIsRetriedEachTickButLoggedOnce) {
    load({{"LogFile", "night.csv"}});
    fake::shutdownAccepted = false;
    openTarget();
    const Calls first = tickAt(50);
    const auto flush = std::find(first.begin(), first.end(), "FlushFileBuffers");
    EXPECT_LT(flush, std::find(first.begin(), first.end(), "ExitWindowsEx")) << "on disk first";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(countCalls(tickAt(50), "ExitWindowsEx"), 1);
    }
    fake::shutdownAccepted = true;
    tickAt(50);
    const auto lines = events();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "shutdown refused"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "shutdown requested"), 1);
    EXPECT_EQ(lines.back(), "shutdown accepted");
}

TEST_F(NightWatchTest, DryRunNeverAsksAndSaysSoOnce) {
    load({{"LogFile", "night.csv"}, {"DryRun", "1"}});
    openTarget();
    for (int i = 0; i < 3; ++i) {
        const Calls calls = tickAt(50);
        EXPECT_EQ(countCalls(calls, "OpenProcessToken"), 0);
        EXPECT_EQ(countCalls(calls, "SendMessageA Recorder WM_CLOSE"), 1);
    }
    const auto lines = events();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "shutdown dry run"), 1);
}

TEST_F(NightWatchTest, DelayArmsAtLevelTwoAndReleasesWhenTheTargetGoes) {
    load({{"LogFile", "night.csv"}, {"ShutdownDelay", "30"}});
    openTarget();
    // The close never waits past the moment the grace period promised the shutdown.
    Calls calls = tickAt(50);
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA Recorder WM_CLOSE 0 0 within 30000"), 1);
    EXPECT_EQ(countCalls(calls, "OpenProcessToken"), 0) << "armed, not requested";
    calls = tickAt(50, 10);
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA Recorder WM_CLOSE 0 0 within 20000"), 1)
        << "close repeated";
    EXPECT_EQ(countCalls(calls, "OpenProcessToken"), 0) << "10 s of 30";
    fake::windows.clear();
    EXPECT_EQ(countCalls(tickAt(50, 2), "ExitWindowsEx"), 1) << "the recorder has gone";
    EXPECT_EQ(countCalls(tickAt(50, 2), "ExitWindowsEx"), 1) << "asked again on each tick";
    const auto lines = events();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"shutdown armed", "target-lost", "shutdown requested",
                                        "shutdown accepted"}));
}

TEST_F(NightWatchTest, DelayReleasesAfterItsSecondsWhileTheTargetStays) {
    load({{"ShutdownDelay", "30"}});
    openTarget();
    tickAt(50);
    EXPECT_EQ(countCalls(tickAt(50, 29), "ExitWindowsEx"), 0);
    // Above level 2 but still at or below level 1: the same excursion.
    EXPECT_EQ(countCalls(tickAt(300, 1), "ExitWindowsEx"), 1);
}

TEST_F(NightWatchTest, RecoveryDisarmsAndTheNextExcursionArmsAnew) {
    load({{"ShutdownDelay", "30"}});
    openTarget();
    tickAt(50);
    tickAt(600, 10);
    fake::windows.clear();
    EXPECT_EQ(countCalls(tickAt(450, 60), "ExitWindowsEx"), 0) << "disarmed by the recovery";
    openTarget();
    EXPECT_EQ(countCalls(tickAt(50), "ExitWindowsEx"), 0) << "armed again, not released";
}

TEST_F(NightWatchTest, TargetTimeoutBoundsEachMessageAndAnUnansweredCloseIsNotAskedAgain) {
    load({{"LogFile", "night.csv"}, {"TargetTimeout", "5"}});
    fake::targetAnswers = false;
    openTarget();
    Calls calls = tickAt(50);
    EXPECT_EQ(countCalls(calls, "SendMessageTimeoutA Recorder WM_KEYDOWN 82 0 within 5000"), 1);
    EXPECT_EQ(countCalls(calls, "SendMessageTimeoutA Recorder WM_KEYUP"), 0) << "it stopped";
    EXPECT_EQ(countCalls(calls, "PostMessageA Recorder WM_KEYUP 82 0"), 1) << "never held down";
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA Recorder WM_CLOSE 0 0 within 5000"), 1);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 1) << "the tick went on";
    const struct {
        bool answerCame, targetThere;
        long closes;
    } later[] = {{false, true, 0}, {true, true, 1}, {false, false, 0}, {false, true, 1}};
    for (const auto& tick : later) {
        fake::closeAnswerCame = tick.answerCame;
        fake::windows.clear();
        if (tick.targetThere) {
            openTarget();
        }
        EXPECT_EQ(countCalls(tickAt(50), "SendMessageCallbackA"), tick.closes)
            << tick.answerCame << tick.targetThere;
    }
    const auto lines = events();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"target-found", "alarm", "key first 82 (no answer)",
                                        "close no answer"}));
}

TEST_F(NightWatchTest, TheGracePeriodHoldsWhenTheCloseIsNeverAnswered) {
    load({{"LogFile", "night.csv"}, {"ShutdownDelay", "30"}});
    fake::targetAnswers = false;
    openTarget();
    const Calls calls = tickAt(50);
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA Recorder WM_CLOSE 0 0 within 30000"), 1);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 1) << "30 s after the close, in its tick";
    const auto lines = events();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"close no answer", "shutdown armed", "shutdown requested",
                                        "shutdown accepted"}));
}

TEST_F(NightWatchTest, TheGracePeriodRunsFromTheCloseRequestNotFromTheChecksStart) {
    load({{"LogFile", "night.csv"}, {"ShutdownDelay", "30"}, {"TargetTimeout", "20"}});
    fake::targetAnswers = false; // the key down and the close each take their whole 20 s
    openTarget();
    const Calls calls = tickAt(50);
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA Recorder WM_CLOSE 0 0 within 20000"), 1);
    EXPECT_EQ(countCalls(calls, "ExitWindowsEx"), 0) << "20 s of grace spent, not the key's too";
    EXPECT_EQ(countCalls(tickAt(50, 10), "ExitWindowsEx"), 1) << "30 s after the close";
}

TEST_F(NightWatchTest, NoCheckRunsInsideACheckThatWaitsOnTheTarget) {
    fakecommand::reset();
    load({{"OnLevel2", "b.bat"}, {"ShowBalloons", "1"}, {"TargetTimeout", "5"}});
    openTarget();
    // While the close waits, the icon is clicked and the timer comes again.
    fake::whileClosing = [] {
        Frame::onTrayNotify(mainWindow, 0, 0x0205); // WM_RBUTTONUP
        Frame::onTimer(mainWindow);
    };
    const Calls calls = tickAt(50);
    EXPECT_EQ(countCalls(calls, "GetDiskFreeSpaceA"), 2) << "one check";
    EXPECT_EQ(countCalls(calls, "SendMessageCallbackA"), 1);
    EXPECT_EQ(countCalls(calls, "CreateProcessA"), 1) << "the level-2 command was not lost";
    EXPECT_EQ(countCalls(calls, "Shell_NotifyIconA NIM_MODIFY balloon error"), 1);
    const auto menu = std::find(calls.begin(), calls.end(), "TrackPopupMenu");
    EXPECT_NE(menu, calls.end());
    EXPECT_LT(std::find_if(calls.begin(), calls.end(),
                           [](const std::string& c) { return c.rfind("CreateProcessA", 0) == 0; }),
              menu)
        << "the menu opens once the check is done";
}

TEST_F(NightWatchTest, ALockWaitsNoLongerThanTargetTimeoutAndIsMadeOnceTheTargetAnswers) {
    load({{"LogFile", "night.csv"}, {"TargetTimeout", "5"}});
    openTarget();
    fake::targetAnswers = false;
    fake::calls.clear();
    TrayMenu::onCommand(mainWindow, CmdLockTarget, 0);
    EXPECT_EQ(countCalls(fake::calls, "SetWindowLongA") + countCalls(fake::calls, "EnableWindow"),
              0);
    EXPECT_EQ(fake::menuText[CmdLockTarget], "Unlock Target");
    EXPECT_EQ(countCalls(tickAt(600), "EnableWindow"), 0) << "still no answer";
    fake::targetAnswers = true;
    EXPECT_EQ(countCalls(tickAt(600), "EnableWindow Recorder 0"), 1) << "locked once it answers";
    EXPECT_EQ(countCalls(tickAt(600), "EnableWindow"), 0) << "and only once";
    EXPECT_EQ(events(),
              (std::vector<std::string>{"lock skipped (no answer)", "target-found", "lock"}));
}

TEST_F(NightWatchTest, EachTransitionIsToldOnceAfterTheTicksOwnSteps) {
    fakecommand::reset();
    load({{"OnAlarm", "a.bat"},
          {"OnLevel2", "b.bat"},
          {"OnRecover", "c.bat"},
          {"ShowBalloons", "1"}});
    openTarget();
    const auto told = [](const Calls& calls) {
        return countCalls(calls, "CreateProcessA") +
               countCalls(calls, "Shell_NotifyIconA NIM_MODIFY balloon");
    };
    EXPECT_EQ(told(tickAt(450)), 2) << "alarm: its command and its balloon";
    EXPECT_EQ(told(tickAt(450)), 0);
    fake::freeScript = {300, 90};
    const Calls levelTwo = tickAt(0);
    ASSERT_EQ(told(levelTwo), 2);
    EXPECT_LT(std::find(levelTwo.begin(), levelTwo.end(), "ExitWindowsEx"),
              std::find_if(levelTwo.begin(), levelTwo.end(),
                           [](const std::string& c) { return c.rfind("CreateProcessA", 0) == 0; }));
    // Told with the measurement that decided level 2, not the tick's first.
    EXPECT_EQ(levelTwo.back(), "Shell_NotifyIconA NIM_MODIFY balloon error D: 90 MB free, level 2 "
                               "is 100 MB; shutting down");
    EXPECT_EQ(told(tickAt(40)), 0);
    EXPECT_EQ(told(tickAt(600)), 2) << "recovery";
    EXPECT_EQ(told(tickAt(600)), 0);
    // The drive is lost between an alarm tick's two measurements: the warning ends the run.
    fake::onCall[2] = [] { fake::driveFails = true; }; // after the first measurement
    const Calls lost = tickAt(450);
    EXPECT_EQ(countCalls(lost, "MessageBoxA drive warning"), 1);
    EXPECT_EQ(told(lost), 0) << "nothing is started or shown once the end has begun";
}

TEST(EventLogTest, LinesAreCsvWithQuotedFieldsWhereNeeded) {
    const EventLog::LocalTime time = {2026, 1, 2, 3, 4, 5};
    char line[EventLog::LineSize];
    const EventLog::Row row = {EventLog::Event::Alarm, true, 950, false,
                               "rate=-20.5 MB/min, level 2 \"soon\""};
    ASSERT_GT(EventLog::formatLine(time, row, 1000, -20, line, sizeof line), 0u);
    EXPECT_STREQ(line, "2026-01-02 03:04:05,alarm,950,1000,-20,absent,"
                       "\"rate=-20.5 MB/min, level 2 \"\"soon\"\"\"\r\n");
    const EventLog::Row unmeasured = {EventLog::Event::DriveFailure, false, 0, true, "Q:\\"};
    EventLog::formatLine(time, unmeasured, 1, 2, line, sizeof line);
    EXPECT_STREQ(line, "2026-01-02 03:04:05,drive-failure,,1,2,present,Q:\\\r\n");
    EXPECT_EQ(EventLog::formatLine(time, row, 1, 2, line, 20), 0u) << "a cut line is no line";
}

TEST(EventLogTest, ANewFilesLongFirstLineKeepsItsLineEnd) {
    fake::reset();
    SettingsFile::load();
    std::strcpy(settings.LogFile, "long.csv");
    const std::string detail(EventLog::LineSize - 44, 'd'); // the longest line there is
    EventLog::append({EventLog::Event::Alarm, true, 1, false, detail.c_str()});
    EventLog::append({EventLog::Event::Recovered, true, 2, false, ""});
    const auto lines = fakelog::lines("C:\\tools\\long.csv");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 5), "ddddd");
    EXPECT_EQ(lines[2], "2026-12-07 23:05:09,recovered,2,0,0,absent,");
}

TEST(EventLogTest, NamesWithoutDriveOrRootLieBesideTheIni) {
    char path[EventLog::PathSize];
    const struct {
        const char* logFile;
        const char* expected;
    } cases[] = {{"night.csv", "C:\\tools\\night.csv"},
                 {"logs\\night.csv", "C:\\tools\\logs\\night.csv"},
                 {"E:\\night.csv", "E:\\night.csv"},
                 {"\\\\server\\share\\n.csv", "\\\\server\\share\\n.csv"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(
            EventLog::resolvePath(c.logFile, "C:\\tools\\zembrovale.ini", path, sizeof path));
        EXPECT_STREQ(path, c.expected);
    }
    EXPECT_FALSE(EventLog::resolvePath("night.csv", "C:\\tools\\z.ini", path, 12));
}

TEST_F(NightWatchTest, PastOneMebibyteTheLogStartsAnewBesideItsOldCopy) {
    load({{"LogFile", "night.csv"}});
    fakelog::files[LogPath] = std::string(EventLog::RotateAtBytes, 'x');
    fakelog::files[LogPath + ".old"] = "earlier";
    tickAt(450);
    EXPECT_EQ(fakelog::files[LogPath + ".old"].size(), EventLog::RotateAtBytes);
    EXPECT_EQ(fakelog::lines(LogPath).size(), 2u) << "header and the alarm";
    fakelog::openFails = true;
    tickAt(600);
    EXPECT_EQ(fakelog::lines(LogPath).size(), 2u) << "a failed open is silent";
}

TEST_F(NightWatchTest, NewKeysAreReadButNeverWritten) {
    fake::ini["OnAlarm"] = "  \"C:\\My Tools\\a.bat\" \"disk low\"  ";
    load({{"LogFile", "\"night.csv\""}, {"ShutdownDelay", "30"}, {"KeepTrayIcon", "1"}});
    EXPECT_STREQ(settings.OnAlarm, "\"C:\\My Tools\\a.bat\" \"disk low\"") << "quotes kept";
    EXPECT_STREQ(settings.LogFile, "\"night.csv\"") << "the fake keeps quotes the platform drops";
    EXPECT_EQ(settings.ShutdownDelay, 30);
    EXPECT_EQ(settings.KeepTrayIcon, 1);
    EXPECT_STREQ(settings.OnRecover, "");
    fake::writtenKeys.clear();
    SettingsFile::save();
    EXPECT_EQ(fake::writtenKeys.size(), 13u);
}

TEST(SectionTextTest, FindsTheFirstLineOfAKeyWhateverItsCase) {
    const char section[] = "OnAlarm=first\0 onalarm =second\0OnLevel2 = \"x\" y \0\0";
    char value[8];
    EXPECT_TRUE(sectionValue(section, "ONALARM", value, sizeof value));
    EXPECT_STREQ(value, "first");
    EXPECT_TRUE(sectionValue(section, "OnLevel2", value, sizeof value));
    EXPECT_STREQ(value, "\"x\" y");
    EXPECT_FALSE(sectionValue(section, "OnRecover", value, sizeof value));
    EXPECT_STREQ(value, "");
    EXPECT_TRUE(sectionValue("OnAlarm=0123456789\0\0", "OnAlarm", value, sizeof value));
    EXPECT_STREQ(value, "0123456") << "cut to the field";
}

} // namespace

namespace {

using EventLog::Event;

// Each event's ID and type as the Application log gets them, as the guide's table and the
// message table have them.
TEST(SystemLogTest, EachKindOfEventHasItsOwnIdAndType) {
    const struct {
        Event event;
        const char* detail;
        std::uint16_t type;
    } cases[] = {{Event::Start, "", SystemLog::Information},
                 {Event::Alarm, "", SystemLog::Warning},
                 {Event::Close, "target gone", SystemLog::Warning},
                 {Event::Shutdown, "armed", SystemLog::Warning},
                 {Event::Shutdown, "refused", SystemLog::Error},
                 {Event::CommandFailed, "OnAlarm error 2", SystemLog::Error},
                 {Event::DriveFailure, "Q:\\", SystemLog::Error},
                 {Event::MakeRoom, "deleted D:\\a.ts 4 MB", SystemLog::Warning},
                 {Event::MakeRoom, "short by 4 MB", SystemLog::Information}};
    for (const auto& c : cases) {
        EXPECT_EQ(SystemLog::kindOf(c.event, c.detail).type, c.type) << c.detail;
    }
    const auto read = [](const char* name) {
        std::ifstream file(std::string(ZV_SOURCE_DIR) + "/" + name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    const std::string guide = read("docs/user-guide.md");
    const std::string messages = read("resources/messages.mc");
    for (int id = 1; id <= static_cast<int>(Event::EventLogFailed); ++id) {
        const std::string name = EventLog::eventName(static_cast<Event>(id));
        EXPECT_EQ(SystemLog::kindOf(static_cast<Event>(id), "").id, id);
        EXPECT_NE(guide.find("| " + std::to_string(id) + " | `" + name + "` |"), std::string::npos)
            << name;
        EXPECT_NE(messages.find("; " + name + "\nMessageId=" + std::to_string(id) + "\n"),
                  std::string::npos)
            << name;
    }
}

TEST_F(NightWatchTest, TheMetricsAndTheEventLogTellTheNight) {
    load({{"MetricsFile", "zv.prom"}, {"EventLog", "yes"}});
    openTarget();
    tickAt(600);
    const Calls quiet = tickAt(600, 5);
    EXPECT_EQ(countCalls(quiet, "MoveFileExA metrics"), 0) << "no event, 5 s";
    EXPECT_EQ(countCalls(tickAt(600, 10), "MoveFileExA metrics"), 1) << "15 s";
    EXPECT_EQ(countCalls(tickAt(450), "MoveFileExA metrics"), 1) << "the alarm, at once";
    const std::string file = fakelog::files["C:\\tools\\zv.prom"];
    for (const char* sample :
         {"zembrovale_free_bytes{drive=\"D:\\\\\"} 471859200\n",
          "zembrovale_level_bytes{drive=\"D:\\\\\",level=\"1\"} 524288000\n",
          "zembrovale_alarm{drive=\"D:\\\\\"} 1\n", "zembrovale_alarms_total{drive=\"D:\\\\\"} 1\n",
          "zembrovale_target_present{drive=\"D:\\\\\"} 1\n"}) {
        EXPECT_NE(file.find(sample), std::string::npos) << sample;
    }
    Frame::finish();
    const std::string last = fakelog::files["C:\\tools\\zv.prom"];
    EXPECT_EQ(last.substr(last.rfind("zembrovale_up")), "zembrovale_up{drive=\"D:\\\\\"} 0\n");
    ASSERT_GE(fakelog::reports.size(), 3u);
    EXPECT_EQ(fakelog::reports[1], "2 8 drive=D:\\ free_mb=450 level1=500 level2=100 "
                                   "target=present detail=");
}

// Making room: which files go and in which order, what never goes, and the check around it.
class MakeRoomTest : public NightWatchTest {
  protected:
    void SetUp() override {
        NightWatchTest::SetUp();
        RoomMaking::endExcursion();
    }
    // Later tests load settings without making room.
    void TearDown() override {
        settings.MakeRoom[0] = '\0';
        MakeRoom::configure();
    }
    void loadRoom(const std::string& makeRoom) {
        load({{"LogFile", RoomLog},
              {"CloseTarget", "0"},
              {"MakeRoomTo", "700"},
              {"MakeRoom", makeRoom}});
        RoomMaking::configure();
    }
    const std::string RoomLog = "D:\\rec\\room.ts";
};

TEST_F(MakeRoomTest, TheOldestFinishedRecordingsGoFirstAndNothingElseEver) {
    loadRoom("D:\\rec\\*.ts");
    openTarget();
    // Path, attributes, minutes unchanged, whether another program holds it, whether it goes.
    const struct {
        const char* path;
        std::uint32_t attributes;
        std::uint64_t minutes;
        bool open;
        bool goes;
    } files[] = {{"D:\\rec", 0x10, 900, false, false},
                 {"D:\\rec\\b.ts", 0x20, 300, false, true},        // as old as a.ts: by path
                 {"D:\\rec\\a.ts", 0x20, 300, false, true},        //
                 {"D:\\rec\\old", 0x10, 900, false, false},        //
                 {"D:\\rec\\old\\c.TS", 0x20, 400, false, true},   // the oldest that may go
                 {"D:\\rec\\young.ts", 0x20, 59, false, false},    // changed within the hour
                 {"D:\\rec\\kept.ts", 0x21, 900, false, false},    // read-only
                 {"D:\\rec\\hidden.ts", 0x22, 900, false, false},  //
                 {"D:\\rec\\system.ts", 0x24, 900, false, false},  //
                 {"D:\\rec\\notes.txt", 0x20, 900, false, false},  // not a recording
                 {"D:\\rec\\link", 0x410, 900, false, false},      // a link to another folder
                 {"D:\\rec\\link\\x.ts", 0x20, 900, false, false}, //
                 {"D:\\rec\\held.ts", 0x20, 800, true, false},     // still being written
                 {"D:\\rec\\room.ts", 0x20, 900, false, false},    // the program's own log
                 {"D:\\rec\\twice.ts", 0x20, 900, false, false}};
    for (const auto& file : files) {
        fakeroom::files.push_back({file.path, file.attributes,
                                   fakeroom::now - file.minutes * fakeroom::Minute, 100,
                                   file.open});
    }
    fakeroom::files.back().links = 2; // deleting one of its names would free nothing
    EXPECT_EQ(countCalls(tickAt(501), "FindFirstFileA"), 0) << "above level 1: no scan";
    EXPECT_EQ(countCalls(tickAt(450), "SendMessageA Recorder WM_KEYDOWN"), 0)
        << "room was made: no alarm";
    for (const auto& file : files) {
        EXPECT_EQ(fakeroom::exists(file.path), !file.goes) << file.path;
    }
    const Calls made = {
        "make-room skipped D:\\rec\\held.ts in use", "make-room deleted D:\\rec\\old\\c.TS 100 MB",
        "make-room deleted D:\\rec\\a.ts 100 MB", "make-room deleted D:\\rec\\b.ts 100 MB"};
    Calls said = events(RoomLog);
    EXPECT_EQ(Calls(said.begin() + 1, said.end()), made);
    // Nothing is left to go: the alarm and its key come in the same check.
    EXPECT_EQ(countCalls(tickAt(450), "SendMessageA Recorder WM_KEYDOWN"), 1);
    said = events(RoomLog);
    EXPECT_EQ(Calls(said.end() - 3, said.end()),
              (Calls{"make-room short by 250 MB", "alarm", "key first 82"}));
}

TEST_F(MakeRoomTest, ASettingThatCannotBeUsedIsRefusedWithItsReason) {
    const std::pair<std::string, const char*> cases[] = {
        {"D:\\rec\\*.*", "the pattern names no kind of file: D:\\rec\\*.*"},
        {"D:\\rec\\?*", "the pattern names no kind of file: D:\\rec\\?*"},
        {"E:\\rec\\*.ts", "not on the watched drive: E:\\rec\\*.ts"},
        {"C:\\rec\\*.ts", "not on the watched drive: C:\\rec\\*.ts"},
        {"rec\\*.ts", "not a folder and a file pattern: rec\\*.ts"},
        {"D:\\rec\\", "not a folder and a file pattern: D:\\rec\\"},
        {"D:*.ts", "not a folder and a file pattern: D:*.ts"},
        {std::string(300, 'x'), "too long"},
        {"D:\\not there yet\\*.ts", nullptr}};
    for (const auto& [value, refusal] : cases) {
        fakelog::files.clear();
        loadRoom(value);
        const Calls said = events(RoomLog);
        EXPECT_EQ(said.empty() ? "" : said.back(),
                  refusal != nullptr ? std::string("make-room-refused ") + refusal : "");
        EXPECT_EQ(MakeRoom::on(), refusal == nullptr) << value;
    }
}

} // namespace
