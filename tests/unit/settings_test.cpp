#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <fstream>
#include <sstream>

#include "settings/number_text.h"
#include "settings/opt_in_keys.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        std::memset(&settings, 0x5A, sizeof settings);
    }
};

TEST_F(SettingsFileTest, NoFileGivesTheAbsentKeyValues) {
    fake::iniExists = false;
    SettingsFile::load();
    EXPECT_EQ(settings.level1, 0);
    EXPECT_EQ(settings.level2, 0);
    EXPECT_STREQ(settings.ClassName, "DEFAULT");
    EXPECT_STREQ(settings.WindowName, "DEFAULT");
    EXPECT_STREQ(settings.DriveLetter, "C:\\");
    EXPECT_EQ(settings.UpdateInterval, 1000u);
    for (std::int32_t value : {settings.x, settings.y, settings.frequency, settings.CloseTarget,
                               settings.ShutDownPC, settings.HideTarget}) {
        EXPECT_EQ(value, 0);
    }
    EXPECT_EQ(settings.key, 0u);
}

TEST_F(SettingsFileTest, StoredNumbersReadAsTheirValues) {
    // 57005 is the absent-key marker the profile API is asked to return; a stored
    // 57005 (or one 65536 above it) is still a real level and must not read as 0.
    const struct {
        const char* stored;
        std::int32_t expected;
    } cases[] = {
        {"00000500", 500},
        {"-0000020", -20},
        {"00057005", 57005},
        {"00122541", 122541},
        {"00057006", 57006},
        {"00000080", 80},
        {"-1294967296", -1294967296},
        {"", 0},
        {"abc", 0},
        {"0x10", 16},
        {" 12", 12},
    };
    for (const auto& c : cases) {
        fake::ini = {{"level1", c.stored}};
        SettingsFile::load();
        EXPECT_EQ(settings.level1, c.expected) << "stored \"" << c.stored << "\"";
    }
}

TEST_F(SettingsFileTest, DriveLetterDefaultRuleIsCaseSensitive) {
    fake::ini = {{"DriveLetter", "DEFAULT"}};
    SettingsFile::load();
    EXPECT_STREQ(settings.DriveLetter, "C:\\");

    fake::ini = {{"DriveLetter", "default"}};
    SettingsFile::load();
    EXPECT_STREQ(settings.DriveLetter, "default");

    fake::ini = {{"DriveLetter", "E:\\recordings"}};
    SettingsFile::load();
    EXPECT_STREQ(settings.DriveLetter, "E:\\reco") << "read limit is the 8-byte field";
}

TEST_F(SettingsFileTest, UpdateIntervalZeroBecomes1000AndLargeValuesStayUnsigned) {
    fake::ini = {{"UpdateInterval", "00000000"}};
    SettingsFile::load();
    EXPECT_EQ(settings.UpdateInterval, 1000u);

    fake::ini = {{"UpdateInterval", "-1294967296"}};
    SettingsFile::load();
    EXPECT_EQ(settings.UpdateInterval, 3000000000u);
}

TEST_F(SettingsFileTest, NamesAreReadUpToTheWholeField) {
    const std::string longName(300, 'c');
    fake::ini = {{"ClassName", longName}, {"WindowName", std::string(100, 'w')}};
    SettingsFile::load();
    EXPECT_EQ(std::string(settings.ClassName), longName.substr(0, 255));
    EXPECT_EQ(std::string(settings.WindowName), std::string(100, 'w'));
}

TEST_F(SettingsFileTest, SaveWritesEveryKeyInOrderZeroPadded) {
    fake::iniExists = false;
    SettingsFile::load();
    settings.level1 = 500;
    settings.level2 = 100;
    std::strcpy(settings.ClassName, "RecorderMainWnd");
    std::strcpy(settings.WindowName, "NULL");
    settings.x = 120;
    settings.y = 80;
    settings.frequency = 800;
    settings.key = 82;
    std::strcpy(settings.DriveLetter, "D:\\");
    settings.CloseTarget = 1;
    settings.ShutDownPC = 0;
    settings.UpdateInterval = 1000;
    settings.HideTarget = 0;
    fake::calls.clear();
    SettingsFile::save();
    const std::vector<std::string> expected = {
        "WritePrivateProfileStringA level1=00000500",
        "WritePrivateProfileStringA level2=00000100",
        "WritePrivateProfileStringA ClassName=RecorderMainWnd",
        "WritePrivateProfileStringA WindowName=NULL",
        "WritePrivateProfileStringA x=00000120",
        "WritePrivateProfileStringA y=00000080",
        "WritePrivateProfileStringA frequency=00000800",
        "WritePrivateProfileStringA key=00000082",
        "WritePrivateProfileStringA DriveLetter=D:\\",
        "WritePrivateProfileStringA CloseTarget=00000001",
        "WritePrivateProfileStringA ShutDownPC=00000000",
        "WritePrivateProfileStringA UpdateInterval=00001000",
        "WritePrivateProfileStringA HideTarget=00000000",
    };
    EXPECT_EQ(fake::calls, expected);
}

TEST_F(SettingsFileTest, SaveThenLoadRoundTripsExtremeNumbers) {
    fake::iniExists = false;
    SettingsFile::load();
    settings.level1 = static_cast<std::int32_t>(3000000000u); // typed as unsigned in the dialog
    settings.level2 = INT32_MIN;
    settings.x = -20;
    settings.y = INT32_MAX;
    settings.frequency = 57005;
    settings.HideTarget = 122541;
    SettingsFile::save();
    EXPECT_EQ(fake::iniValue("level1"), "-1294967296");
    EXPECT_EQ(fake::iniValue("level2"), "-2147483648");
    EXPECT_EQ(fake::iniValue("x"), "-0000020");
    std::memset(&settings, 0, sizeof settings);
    SettingsFile::load();
    EXPECT_EQ(settings.level1, -1294967296);
    EXPECT_EQ(settings.level2, INT32_MIN);
    EXPECT_EQ(settings.x, -20);
    EXPECT_EQ(settings.y, INT32_MAX);
    EXPECT_EQ(settings.frequency, 57005);
    EXPECT_EQ(settings.HideTarget, 122541);
}

TEST_F(SettingsFileTest, WriteNumberWritesOneKey) {
    SettingsFile::load();
    fake::calls.clear();
    SettingsFile::writeNumber("x", 0);
    EXPECT_EQ(fake::calls, std::vector<std::string>{"WritePrivateProfileStringA x=00000000"});
}

TEST_F(SettingsFileTest, PathComesFromTheExecutableName) {
    const struct {
        const char* module;
        const char* ini;
    } cases[] = {
        {"D:\\tools\\watch.exe", "D:\\tools\\watch.ini"},
        {"D:\\tools\\watch.bin", "D:\\tools\\watch.ini"},
        {"Z:\\tmp\\x\\a.exe", "Z:\\tmp\\x\\a.ini"},
        {"C:\\noext", "C:\\noini"},
    };
    for (const auto& c : cases) {
        fake::modulePath = c.module;
        SettingsFile::load();
        EXPECT_STREQ(SettingsFile::path(), c.ini);
        EXPECT_EQ(fake::lastIniPath, c.ini);
    }
}

TEST_F(SettingsFileTest, OverlongModulePathStaysInsideThePathField) {
    fake::modulePath = std::string(400, 'p');
    SettingsFile::load();
    EXPECT_EQ(std::strlen(SettingsFile::path()), static_cast<std::size_t>(IniPathSize - 1));
}

// What a user types is what an opt-in number means: never a wrapped 32-bit value.
TEST_F(SettingsFileTest, OptInNumbersReadAsTypedAtTheirExtremes) {
    // A switch reads words too; for DryRun, what is neither on nor off is on.
    const struct {
        const char* typed;
        std::int32_t seconds;
        std::int32_t onOff;
        std::int32_t dryRun = onOff;
    } cases[] = {
        {"0", 0, 0},
        {"30", 30, 1},
        {" 00000030 ", 30, 1},
        {"0x1E", 30, 1},
        {"2147483", 2147483, 1},
        {"2147484", OptIn::MostSeconds, 1},
        {"4294967295", OptIn::MostSeconds, 1},
        {"4294967296", OptIn::MostSeconds, 1},
        {"3000000000", OptIn::MostSeconds, 1},
        {"99999999999999999999999", OptIn::MostSeconds, 1},
        {"-1", 0, 1},
        {"-2147483648", 0, 1},
        {"abc", 0, 0, 1},
        {"", 0, 0},
        {"Yes", 0, 1},
        {"TRUE", 0, 1},
        {"on", 0, 1},
        {"no", 0, 0},
        {"False", 0, 0},
        {"OFF", 0, 0},
        {"offf", 0, 0, 1},
        {"-", 0, 0, 1},
    };
    for (const auto& c : cases) {
        fake::ini = {{"ShutdownDelay", c.typed}, {"ShowBalloons", c.typed}, {"DryRun", c.typed}};
        SettingsFile::load();
        EXPECT_EQ(settings.ShutdownDelay, c.seconds) << "typed \"" << c.typed << "\"";
        EXPECT_EQ(settings.ShowBalloons, c.onOff) << "typed \"" << c.typed << "\"";
        EXPECT_EQ(settings.DryRun, c.dryRun) << "typed \"" << c.typed << "\"";
        EXPECT_EQ(settings.DryRunUnclear, c.dryRun != c.onOff) << "typed \"" << c.typed << "\"";
    }
}

// A count that is no number, or negative, is as if absent; one past 32 bits is the largest.
TEST_F(SettingsFileTest, CountsReadAsTypedAtTheirExtremes) {
    const std::pair<const char*, std::int32_t> cases[] = {{"", 60},
                                                          {"0", 0},
                                                          {"+90", 90},
                                                          {" 12 min", 12},
                                                          {"-5", 60},
                                                          {"an hour", 60},
                                                          {"2147483647", INT32_MAX},
                                                          {"99999999999", INT32_MAX}};
    for (const auto& [typed, minutes] : cases) {
        fake::ini = {{"MakeRoomAge", typed}};
        SettingsFile::load();
        EXPECT_EQ(settings.MakeRoomAge, minutes) << "typed \"" << typed << "\"";
        EXPECT_EQ(settings.MakeRoomTo, 0) << "absent";
    }
}

// A value cut to its field would name another file or run another command.
TEST_F(SettingsFileTest, OptInTextsTooLongForTheirFieldsAreNeverCut) {
    const std::string command = "echo " + std::string(CommandSize, 'x') + " & del important.txt";
    fake::ini = {{"OnAlarm", command},
                 {"OnRecover", std::string(CommandSize - 1, 'r')},
                 {"LogFile", std::string(LogFileSize, 'l')}};
    SettingsFile::load();
    EXPECT_TRUE(settings.OnAlarmTooLong);
    EXPECT_STREQ(settings.OnAlarm, "");
    EXPECT_FALSE(settings.OnRecoverTooLong) << "511 characters fit";
    EXPECT_EQ(std::string(settings.OnRecover), std::string(CommandSize - 1, 'r'));
    EXPECT_STREQ(settings.LogFile, "");
    // Beyond the part of a huge section that could be read, a command is not readable whole.
    fake::ini = {{"AComment", std::string(70000, 'c')}, {"OnLevel2", "level2.bat"}};
    SettingsFile::load();
    EXPECT_TRUE(settings.OnLevel2TooLong);
    EXPECT_FALSE(settings.OnAlarmTooLong);
}

// Every opt-in key is explained where users look for it.
TEST(OptInKeysTest, TheReadmeTheGuideAndTheSampleExplainEveryKey) {
    const auto read = [](const char* name) {
        std::ifstream file(std::string(ZV_SOURCE_DIR) + "/" + name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    };
    const std::string readme = read("README.md");
    const std::string guide = read("docs/user-guide.md");
    const std::string sample = read("resources/sample.ini");
    ASSERT_FALSE(readme.empty() || guide.empty() || sample.empty());
    for (int i = 0; i < OptIn::KeyCount; ++i) {
        const std::string name = OptIn::keyName(i);
        EXPECT_NE(readme.find("| `" + name + "` |"), std::string::npos) << name << " in README";
        EXPECT_NE(guide.find("`" + name), std::string::npos) << name << " in the guide";
        EXPECT_NE(sample.find("\n;" + name + "="), std::string::npos) << name << " in the sample";
    }
}

TEST(NumberTextTest, FormatsLikeZeroPaddedLongs) {
    const struct {
        std::int64_t value;
        int width;
        const char* text;
    } cases[] = {
        {500, 8, "00000500"},
        {-20, 8, "-0000020"},
        {0, 8, "00000000"},
        {100000000, 8, "100000000"},
        {-10000000, 8, "-10000000"},
        {INT32_MIN, 8, "-2147483648"},
        {4294967295, 8, "4294967295"},
        {7, 2, "07"},
        {-5, 2, "-5"},
        {100, 2, "100"},
        {0, 2, "00"},
    };
    for (const auto& c : cases) {
        char out[NumberTextSize];
        formatPadded(out, sizeof out, c.value, c.width);
        EXPECT_STREQ(out, c.text) << c.value;
    }
}

TEST(NumberTextTest, NeverWritesBeyondTheGivenSize) {
    char out[6];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(formatPadded(out, 4, -2147483647, 8), 3);
    EXPECT_STREQ(out, "-21");
    EXPECT_EQ(formatPadded(out, 4, -5, 8), 3);
    EXPECT_STREQ(out, "-00");
    EXPECT_EQ(out[4], '#');
    EXPECT_EQ(out[5], '#');
}

TEST(NumberTextTest, SharedFieldHoldsEveryThirtyTwoBitValue) {
    EXPECT_STREQ(formatNumber(INT32_MIN), "-2147483648");
    EXPECT_STREQ(formatCount(UINT32_MAX), "4294967295");
    EXPECT_STREQ(formatNumber(500), "00000500");
}

} // namespace
