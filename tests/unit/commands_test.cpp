#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/commands.h"
#include "settings/settings.h"
#include "tests/unit/fake_command_platform.h"
#include "tests/unit/fake_platform.h"

namespace {

using Entries = std::vector<std::string>;

const TransitionFacts facts = {420, true, {true, -3.5, 17, 2}};

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        fakecommand::reset();
        SettingsFile::load(); // the program folder: C:\tools
        std::memset(&settings, 0, sizeof settings);
        settings.level1 = 500;
        settings.level2 = -1;
        std::strcpy(settings.DriveLetter, "D:\\");
        std::strcpy(settings.OnAlarm, "alarm.bat");
        std::strcpy(settings.OnLevel2, "level2.bat");
        std::strcpy(settings.OnRecover, "recover.bat");
        fake::calls.clear();
    }
};

Entries callsStarting(const std::string& prefix) {
    Entries found;
    for (const std::string& call : fake::calls) {
        if (call.rfind(prefix, 0) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

Entries starts() {
    return callsStarting("CreateProcessA ");
}

const char* const Cmd = "CreateProcessA \"C:\\Windows\\system32\\cmd.exe\" /c ";

TEST_F(CommandsTest, EachTransitionStartsOnlyItsOwnCommandOnceOrNothingWhenUnset) {
    struct Case {
        Transition transition;
        char* field;
        const char* command;
        const char* event;
    } const cases[] = {{Transition::Alarm, settings.OnAlarm, "alarm.bat", "alarm"},
                       {Transition::LevelTwo, settings.OnLevel2, "level2.bat", "level2"},
                       {Transition::Recover, settings.OnRecover, "recover.bat", "recover"}};
    for (const Case& c : cases) {
        fake::calls.clear();
        Commands::run(c.transition, facts);
        EXPECT_EQ(starts(), Entries{Cmd + std::string("\"") + c.command + "\" in C:\\tools"});
        EXPECT_EQ(fakecommand::environment.at(0), std::string("ZEMBROVALE_EVENT=") + c.event);

        fake::calls.clear();
        c.field[0] = '\0';
        Commands::run(c.transition, facts);
        EXPECT_TRUE(fake::calls.empty()) << c.event;
    }
}

TEST_F(CommandsTest, CommandLineKeepsTheUsersQuotesAndFallsBackToCmd) {
    std::strcpy(settings.OnAlarm, "\"C:\\My Tools\\notify.exe\" \"disk low\"");
    Commands::run(Transition::Alarm, facts);
    fakecommand::comspec = "";
    fake::modulePath = "C:\\zembrovale.exe";
    SettingsFile::load();
    std::strcpy(settings.OnAlarm, "x");
    Commands::run(Transition::Alarm, facts);
    EXPECT_EQ(starts(), (Entries{Cmd + std::string("\"\"C:\\My Tools\\notify.exe\" \"disk low\"\" "
                                                   "in C:\\tools"),
                                 "CreateProcessA \"cmd.exe\" /c \"x\" in C:\\"}));
}

TEST_F(CommandsTest, EnvironmentPutsOursFirstReplacingOursInAnyCaseAndKeepsTheRest) {
    fakecommand::inherited = {"Zembrovale_Event=stale", "PATH=C:\\Windows", "=C:=C:\\tools",
                              "zembrovale_minutes_left=9", "ZEMBROVALE_OTHER=kept"};
    Commands::run(Transition::LevelTwo, facts);
    EXPECT_EQ(fakecommand::environment,
              (Entries{"ZEMBROVALE_EVENT=level2", "ZEMBROVALE_FREE_MB=420", "ZEMBROVALE_LEVEL1=500",
                       "ZEMBROVALE_LEVEL2=-1", "ZEMBROVALE_DRIVE=D:\\", "ZEMBROVALE_TARGET=present",
                       "ZEMBROVALE_MINUTES_LEFT=17", "PATH=C:\\Windows", "=C:=C:\\tools",
                       "ZEMBROVALE_OTHER=kept"}));
    // The inherited block goes back before the command starts.
    EXPECT_EQ(fake::calls.at(1), "GetEnvironmentStringsA");
    EXPECT_EQ(fake::calls.at(2), "FreeEnvironmentStringsA");

    Commands::run(Transition::Alarm, {7, false, {false, 0, 0, 1}});
    EXPECT_EQ(fakecommand::environment.at(5), "ZEMBROVALE_TARGET=absent");
    EXPECT_EQ(fakecommand::environment.at(6), "ZEMBROVALE_MINUTES_LEFT=");
}

TEST_F(CommandsTest, InheritedEntriesThatDoNotFitAreDroppedWhole) {
    fakecommand::inherited.clear();
    for (int i = 0; i < 700; ++i) { // about 70 KB
        fakecommand::inherited.push_back("V" + std::to_string(i) + "=" + std::string(96, 'x'));
    }
    fakecommand::inherited.push_back("LAST=small");
    Commands::run(Transition::Alarm, facts);
    const Entries& block = fakecommand::environment;
    ASSERT_GT(fakecommand::environmentLength, 0u); // double zero within the buffer
    EXPECT_EQ(block.at(6), "ZEMBROVALE_MINUTES_LEFT=17");
    EXPECT_LT(block.size(), 700u);
    for (std::size_t i = 7; i < block.size(); ++i) {
        const bool lastSmallOne = i + 1 == block.size() && block[i] == "LAST=small";
        EXPECT_TRUE(lastSmallOne || block[i] == fakecommand::inherited[i - 7]) << block[i];
    }
}

TEST(CommandBuffers, FitExactlyOrFailWhole) {
    char line[32];
    const std::string want = "\"cmd.exe\" /c \"dir\""; // 18 characters
    EXPECT_TRUE(Commands::buildCommandLine("cmd.exe", "dir", line, 19));
    EXPECT_EQ(line, want);
    EXPECT_FALSE(Commands::buildCommandLine("cmd.exe", "dir", line, 18));

    const Commands::Variable ours[] = {{"A", "1"}};
    char block[9];
    EXPECT_EQ(Commands::buildEnvironment("a=old\0LONG=22\0B=2\0", ours, 1, block, 9), 9u);
    EXPECT_EQ(std::string(block, 9), std::string("A=1\0B=2\0\0", 9));
    EXPECT_EQ(Commands::buildEnvironment("LONG=22\0", ours, 1, block, 5), 5u);
    EXPECT_EQ(Commands::buildEnvironment("", ours, 1, block, 4), 0u);
}

TEST_F(CommandsTest, FailedStartIsLoggedWithItsErrorCode) {
    std::strcpy(settings.LogFile, "zv.csv");
    fakecommand::startResult = 2;
    Commands::run(Transition::Alarm, facts);
    const Entries writes = callsStarting("WriteFile ");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_NE(writes[0].find("command-failed,420,"), std::string::npos) << writes[0];
    EXPECT_NE(writes[0].find("OnAlarm error 2"), std::string::npos) << writes[0];
}

} // namespace
