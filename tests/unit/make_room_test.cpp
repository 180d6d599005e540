// Making room: which files go and in which order, what never goes, and the check around it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/make_room.h"
#include "app/frame.h"
#include "monitor/alarm_state.h"
#include "monitor/fill_estimate.h"
#include "monitor/free_space.h"
#include "monitor/room_making.h"
#include "settings/settings.h"
#include "tests/unit/fake_command_platform.h"
#include "tests/unit/fake_log_platform.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_room_platform.h"
#include "tests/unit/fake_ui_platform.h"

namespace {

using Texts = std::vector<std::string>;

class MakeRoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        fakecommand::reset();
        alarmState = AlarmState{};
        driveFailureReported = false;
        FillEstimate::reset();
        RoomMaking::endExcursion();
    }
    // Later tests load settings without making room.
    void TearDown() override {
        settings.MakeRoom[0] = '\0';
        MakeRoom::configure();
    }

    static void load(const std::string& makeRoom) {
        fake::ini = {{"level1", "500"},
                     {"level2", "100"},
                     {"ClassName", "Rec"},
                     {"WindowName", "NULL"},
                     {"key", "82"},
                     {"DriveLetter", "D:\\"},
                     {"LogFile", "D:\\rec\\room.ts"},
                     {"MakeRoomTo", "700"},
                     {"MakeRoom", makeRoom}};
        SettingsFile::load();
        RoomMaking::configure();
    }

    static std::vector<std::string> tickAt(std::uint32_t freeMegabytes) {
        fake::calls.clear();
        fake::freeMegabytes = freeMegabytes;
        fake::clockMs += 5000;
        Frame::onTimer(nullptr);
        return fake::calls;
    }

    // "event detail" of each line after the header.
    static Texts events() {
        Texts result;
        const auto lines = fakelog::lines("D:\\rec\\room.ts");
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::string line = lines[i];
            for (int field = 0; field < 6; ++field) {
                line = line.substr(line.find(',') + 1);
            }
            const std::string event = lines[i].substr(20, lines[i].find(',', 20) - 20);
            result.push_back(event + (line.empty() ? "" : " " + line));
        }
        return result;
    }
};

TEST_F(MakeRoomTest, TheOldestFinishedRecordingsGoFirstAndNothingElseEver) {
    load("D:\\rec\\*.ts");
    fake::windows.push_back({"Rec", "Recorder"});
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
    EXPECT_EQ(fake::countCalls(tickAt(501), "FindFirstFileA"), 0) << "above level 1: no scan";
    EXPECT_EQ(fake::countCalls(tickAt(450), "SendMessageA Recorder WM_KEYDOWN"), 0)
        << "room was made: no alarm";
    for (const auto& file : files) {
        EXPECT_EQ(fakeroom::exists(file.path), !file.goes) << file.path;
    }
    const Texts made = {
        "make-room skipped D:\\rec\\held.ts in use", "make-room deleted D:\\rec\\old\\c.TS 100 MB",
        "make-room deleted D:\\rec\\a.ts 100 MB", "make-room deleted D:\\rec\\b.ts 100 MB"};
    Texts said = events();
    EXPECT_EQ(Texts(said.begin() + 1, said.end()), made);
    // Nothing is left to go: the alarm and its key come in the same check.
    EXPECT_EQ(fake::countCalls(tickAt(450), "SendMessageA Recorder WM_KEYDOWN"), 1);
    said = events();
    EXPECT_EQ(Texts(said.end() - 3, said.end()),
              (Texts{"make-room short by 250 MB", "alarm", "key first 82"}));
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
        fake::reset();
        load(value);
        const Texts said = events();
        EXPECT_EQ(said.empty() ? "" : said.back(),
                  refusal != nullptr ? std::string("make-room-refused ") + refusal : "");
        EXPECT_EQ(MakeRoom::on(), refusal == nullptr) << value;
    }
}

} // namespace
