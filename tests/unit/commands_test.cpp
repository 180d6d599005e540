#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "actions/commands.h"
#include "settings/settings.h"
#include "tests/unit/fake_command_platform.h"
#include "tests/unit/fake_log_platform.h"
#include "tests/unit/fake_platform.h"

namespace {

using Entries = std::vector<std::string>;

const TransitionFacts facts = {420, true, {true, -3.5, 17, 2}};
const std::string Cmd = "CreateProcessA \"C:\\Windows\\system32\\cmd.exe\" /c \"";

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        fakecommand::reset();
        fake::ini = {{"level1", "500"},          {"level2", "-1"},
                     {"DriveLetter", "D:\\"},    {"OnAlarm", "alarm.bat"},
                     {"OnLevel2", "level2.bat"}, {"OnRecover", "recover.bat"}};
        SettingsFile::load(); // from C:\tools
    }
};

TEST_F(CommandsTest, EachTransitionStartsItsOwnCommandOnceAsTypedOrNothingWhenUnset) {
    const std::tuple<Transition, char*, const char*, const char*> cases[] = {
        {Transition::Alarm, settings.OnAlarm, "\"C:\\My Tools\\notify.exe\" \"disk low\"", "alarm"},
        {Transition::LevelTwo, settings.OnLevel2, "level2.bat", "level2"},
        {Transition::Recover, settings.OnRecover, "recover.bat", "recover"}};
    for (const auto& [transition, field, command, event] : cases) {
        std::strcpy(field, command);
        fake::calls.clear();
        Commands::run(transition, facts);
        EXPECT_EQ(fake::countCalls(fake::calls, Cmd + command + "\" in C:\\tools"), 1);
        EXPECT_EQ(fake::calls.front(), "GetEnvironmentVariableA COMSPEC");
        EXPECT_EQ(fakecommand::environment.at(2), std::string("ZEMBROVALE_EVENT=") + event);
        fake::calls.clear();
        field[0] = '\0';
        Commands::run(transition, facts);
        EXPECT_EQ(fake::calls, Entries{}) << event;
    }
    fakecommand::comspec = "";
    fake::modulePath = "C:\\zembrovale.exe"; // a root folder keeps its backslash
    SettingsFile::load();
    fake::calls.clear();
    Commands::run(Transition::Recover, facts);
    EXPECT_EQ(
        fake::countCalls(fake::calls, "CreateProcessA \"cmd.exe\" /c \"recover.bat\" in C:\\"), 1);
}

TEST_F(CommandsTest, TheCommandGetsTheWholeEnvironmentWithOursReplacingAnyOfTheirNames) {
    fakecommand::own = {"Zembrovale_Event=stale", "PATH=C:\\Windows", "=C:=C:\\tools",
                        "zembrovale_minutes_left=9", "ZEMBROVALE_OTHER=kept"};
    fakecommand::own.resize(705, "V=" + std::string(98, 'x')); // some 70 KB, all of it kept
    const Entries before = fakecommand::own;
    Commands::run(Transition::LevelTwo, facts);
    const Entries& seen = fakecommand::environment;
    ASSERT_EQ(seen.size(), 703u + 7);
    EXPECT_EQ(Entries(seen.begin(), seen.begin() + 3),
              (Entries{"PATH=C:\\Windows", "=C:=C:\\tools", "ZEMBROVALE_OTHER=kept"}));
    EXPECT_EQ(Entries(seen.end() - 7, seen.end()),
              (Entries{"ZEMBROVALE_EVENT=level2", "ZEMBROVALE_FREE_MB=420", "ZEMBROVALE_LEVEL1=500",
                       "ZEMBROVALE_LEVEL2=-1", "ZEMBROVALE_DRIVE=D:\\", "ZEMBROVALE_TARGET=present",
                       "ZEMBROVALE_MINUTES_LEFT=17"}));
    EXPECT_EQ(fakecommand::own.size(), 703u) << "ours are gone again after the start";
    Commands::run(Transition::Alarm, {7, false, {false, 0, 0, 1}});
    EXPECT_EQ(Entries(seen.end() - 2, seen.end()),
              (Entries{"ZEMBROVALE_TARGET=absent", "ZEMBROVALE_MINUTES_LEFT="}));
}

TEST(CommandBuffers, FitExactlyOrFailWhole) {
    char line[32];
    EXPECT_TRUE(Commands::buildCommandLine("cmd.exe", "dir", line, 19));
    EXPECT_STREQ(line, "\"cmd.exe\" /c \"dir\"");
    EXPECT_FALSE(Commands::buildCommandLine("cmd.exe", "dir", line, 18));
}

TEST_F(CommandsTest, FailedStartIsLoggedWithItsErrorCode) {
    std::strcpy(settings.LogFile, "zv.csv");
    fakecommand::startResult = 2;
    Commands::run(Transition::Alarm, facts);
    // A command too long to hold whole never starts.
    settings.OnRecoverTooLong = true;
    fake::calls.clear();
    Commands::run(Transition::Recover, facts);
    EXPECT_EQ(fake::countCalls(fake::calls, "CreateProcessA"), 0);
    EXPECT_EQ(fakelog::lines("C:\\tools\\zv.csv"),
              (Entries{"time,event,free_mb,level1,level2,target,detail",
                       "2026-12-07 23:05:09,command-failed,420,500,-1,present,OnAlarm error 2",
                       "2026-12-07 23:05:09,command-failed,420,500,-1,present,OnRecover too long "
                       "(over 511 characters)"}));
}

} // namespace
