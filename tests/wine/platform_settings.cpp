// The settings file through the real profile API. The INI path is derived from this
// executable's own name, so every test writes platform_tests.ini beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/wine_support.h"

namespace {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// Every key with its field in readable form (numbers in decimal, as their type holds them).
struct Field {
    const char* key;
    std::string (*text)(const Settings&);
};
const Field Fields[] = {
    {"level1", [](const Settings& s) { return std::to_string(s.level1); }},
    {"level2", [](const Settings& s) { return std::to_string(s.level2); }},
    {"ClassName", [](const Settings& s) { return std::string(s.ClassName); }},
    {"WindowName", [](const Settings& s) { return std::string(s.WindowName); }},
    {"x", [](const Settings& s) { return std::to_string(s.x); }},
    {"y", [](const Settings& s) { return std::to_string(s.y); }},
    {"frequency", [](const Settings& s) { return std::to_string(s.frequency); }},
    {"key", [](const Settings& s) { return std::to_string(s.key); }},
    {"DriveLetter", [](const Settings& s) { return std::string(s.DriveLetter); }},
    {"CloseTarget", [](const Settings& s) { return std::to_string(s.CloseTarget); }},
    {"ShutDownPC", [](const Settings& s) { return std::to_string(s.ShutDownPC); }},
    {"UpdateInterval", [](const Settings& s) { return std::to_string(s.UpdateInterval); }},
    {"HideTarget", [](const Settings& s) { return std::to_string(s.HideTarget); }},
};

std::string fieldByKey(const Settings& s, const std::string& key) {
    for (const Field& field : Fields) {
        if (key == field.key) {
            return field.text(s);
        }
    }
    return "<no such key " + key + ">";
}

// What a load must give for a file that lacks every key.
const KeyValues AbsentValues = {
    {"level1", "0"},           {"level2", "0"},     {"ClassName", "DEFAULT"},
    {"WindowName", "DEFAULT"}, {"x", "0"},          {"y", "0"},
    {"frequency", "0"},        {"key", "0"},        {"DriveLetter", "C:\\"},
    {"CloseTarget", "0"},      {"ShutDownPC", "0"}, {"UpdateInterval", "1000"},
    {"HideTarget", "0"}};

void copyField(char* field, size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), text.size() < size - 1 ? text.size() : size - 1);
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = zvtest::ownIniPath();
        zvtest::removeFile(ini);
        std::memset(&settings, 0, sizeof settings);
    }
    void TearDown() override { zvtest::removeFile(ini); }

    void expectValues(const KeyValues& expected, const std::string& context) {
        for (const auto& entry : expected) {
            EXPECT_EQ(entry.second, fieldByKey(settings, entry.first))
                << context << ": key " << entry.first;
        }
    }

    std::string ini;
};

TEST_F(SettingsFileTest, PathIsTheExecutablesWithIniExtension) {
    SettingsFile::load();
    EXPECT_STREQ(ini.c_str(), SettingsFile::path());
    EXPECT_NE(std::string::npos, ini.find("platform_tests.ini")) << "got " << ini;
}

TEST_F(SettingsFileTest, SaveIntoMissingFileWritesExactText) {
    SettingsFile::load();
    settings.level1 = 500;
    settings.level2 = 100;
    copyField(settings.ClassName, sizeof settings.ClassName, "RecorderMainWnd");
    copyField(settings.WindowName, sizeof settings.WindowName, "NULL");
    settings.x = 120;
    settings.y = 80;
    settings.frequency = 800;
    settings.key = 82;
    copyField(settings.DriveLetter, sizeof settings.DriveLetter, "D:\\");
    settings.CloseTarget = 1;
    settings.ShutDownPC = 0;
    settings.UpdateInterval = 1000;
    settings.HideTarget = 0;
    SettingsFile::save();

    const std::string expected = "[Options]\r\n"
                                 "level1=00000500\r\n"
                                 "level2=00000100\r\n"
                                 "ClassName=RecorderMainWnd\r\n"
                                 "WindowName=NULL\r\n"
                                 "x=00000120\r\n"
                                 "y=00000080\r\n"
                                 "frequency=00000800\r\n"
                                 "key=00000082\r\n"
                                 "DriveLetter=D:\\\r\n"
                                 "CloseTarget=00000001\r\n"
                                 "ShutDownPC=00000000\r\n"
                                 "UpdateInterval=00001000\r\n"
                                 "HideTarget=00000000\r\n";
    EXPECT_EQ(expected, zvtest::readFile(ini));
}

TEST_F(SettingsFileTest, MissingFileGivesAbsentKeyValues) {
    std::memset(&settings, 0x5A, sizeof settings);
    SettingsFile::load();
    expectValues(AbsentValues, "no file");
}

TEST_F(SettingsFileTest, MissingSectionGivesAbsentKeyValues) {
    ASSERT_TRUE(zvtest::writeIni(ini, {{"level1", "5"}, {"ClassName", "Other"}}, "Elsewhere"));
    SettingsFile::load();
    expectValues(AbsentValues, "only [Elsewhere]");
}

TEST_F(SettingsFileTest, SaveThenLoadRoundTripsExtremeValues) {
    SettingsFile::load();
    const std::string longClass(255, 'c');
    const std::string longTitle = std::string(254, 't') + "!";
    settings.level1 = -20;
    settings.level2 = 57005; // the absent-key marker is an ordinary stored value
    settings.x = 122541;     // ... and so is the marker plus 65536
    settings.y = INT32_MIN;
    settings.frequency = INT32_MAX;
    settings.key = 3000000000u; // typed as unsigned, beyond the signed range
    settings.CloseTarget = -1;
    settings.ShutDownPC = 0;
    settings.UpdateInterval = 3000000000u;
    settings.HideTarget = 256;
    copyField(settings.ClassName, sizeof settings.ClassName, longClass);
    copyField(settings.WindowName, sizeof settings.WindowName, longTitle);
    copyField(settings.DriveLetter, sizeof settings.DriveLetter, "default");
    SettingsFile::save();

    const std::vector<std::string> lines = zvtest::readLines(ini);
    const std::vector<std::string> storedLines = {
        "level1=-0000020",         "level2=00057005",     "ClassName=" + longClass,
        "WindowName=" + longTitle, "x=00122541",          "y=-2147483648",
        "frequency=2147483647",    "key=-1294967296",     "DriveLetter=default",
        "CloseTarget=-0000001",    "ShutDownPC=00000000", "UpdateInterval=-1294967296",
        "HideTarget=00000256"};
    for (const std::string& line : storedLines) {
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), line))
            << "expected the line " << line << " in:\n"
            << zvtest::readFile(ini);
    }

    std::memset(&settings, 0x5A, sizeof settings);
    SettingsFile::load();
    expectValues({{"level1", "-20"},
                  {"level2", "57005"},
                  {"x", "122541"},
                  {"y", "-2147483648"},
                  {"frequency", "2147483647"},
                  {"key", "3000000000"},
                  {"CloseTarget", "-1"},
                  {"ShutDownPC", "0"},
                  {"UpdateInterval", "3000000000"},
                  {"HideTarget", "256"},
                  {"ClassName", longClass},
                  {"WindowName", longTitle},
                  {"DriveLetter", "default"}},
                 "after save and load");
}

TEST_F(SettingsFileTest, SavedIntervalZeroReadsAsDefaultPeriod) {
    SettingsFile::load();
    settings.UpdateInterval = 0;
    SettingsFile::save();
    const std::vector<std::string> lines = zvtest::readLines(ini);
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "UpdateInterval=00000000"))
        << zvtest::readFile(ini);
    SettingsFile::load();
    EXPECT_EQ(1000u, settings.UpdateInterval);
}

// Test names may hold only letters, digits and underscores.
std::string identifier(const std::string& text) {
    std::string name;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        } else if (c == '-') {
            name += "minus";
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name.empty() ? "empty" : name;
}

// One key written by hand, as a user editing the file would, and what load makes of it.
struct StoredValue {
    const char* key;
    std::string stored;
    std::string expected;
};

void PrintTo(const StoredValue& row, std::ostream* out) {
    // Quoted: a trailing backslash would join two lines of ctest's test list.
    *out << row.key << "=\"" << row.stored.substr(0, 40) << "\"";
}

std::string storedValueName(const ::testing::TestParamInfo<StoredValue>& info) {
    const std::string& stored = info.param.stored;
    return std::string(info.param.key) + "_" +
           (stored.size() > 12 ? std::to_string(stored.size()) + "chars" : identifier(stored));
}

class StoredValueTest : public SettingsFileTest,
                        public ::testing::WithParamInterface<StoredValue> {};

TEST_P(StoredValueTest, LoadReadsIt) {
    const StoredValue& row = GetParam();
    ASSERT_TRUE(zvtest::writeIni(ini, {{row.key, row.stored}}));
    SettingsFile::load();
    EXPECT_EQ(row.expected, fieldByKey(settings, row.key))
        << row.key << "=" << row.stored.substr(0, 40);
}

INSTANTIATE_TEST_SUITE_P(
    HandWritten, StoredValueTest,
    ::testing::Values(
        StoredValue{"level1", "57005", "57005"}, StoredValue{"level1", "122541", "122541"},
        StoredValue{"level1", "57006", "57006"}, StoredValue{"level1", "", "0"},
        StoredValue{"level2", "-0000020", "-20"},
        // Leading zeros are not octal.
        StoredValue{"x", "00000080", "80"}, StoredValue{"y", "00000500", "500"},
        StoredValue{"key", "-1294967296", "3000000000"}, StoredValue{"UpdateInterval", "0", "1000"},
        StoredValue{"UpdateInterval", "00000000", "1000"},
        StoredValue{"UpdateInterval", "00000250", "250"}, StoredValue{"HideTarget", "256", "256"},
        StoredValue{"DriveLetter", "DEFAULT", "C:\\"},
        StoredValue{"DriveLetter", "default", "default"},
        StoredValue{"DriveLetter", "E:\\", "E:\\"},
        // The 8-byte field keeps 7 characters and its terminator.
        StoredValue{"DriveLetter", "ABCDEFGHIJ", "ABCDEFG"},
        StoredValue{"ClassName", std::string(100, 'c'), std::string(100, 'c')},
        StoredValue{"ClassName", std::string(255, 'c'), std::string(255, 'c')},
        StoredValue{"ClassName", std::string(300, 'c'), std::string(255, 'c')},
        StoredValue{"WindowName", std::string(256, 'w'), std::string(255, 'w')}),
    storedValueName);

// Canary bytes right after the record: a text read that ran past the last field would
// change them.
constexpr size_t CanarySize = 64;

// Deliberately past the end of the record, so the compiler must not reason about it.
const unsigned char* bytesAfterSettings() {
    volatile std::uintptr_t address = reinterpret_cast<std::uintptr_t>(&settings) + sizeof settings;
    return reinterpret_cast<const unsigned char*>(address);
}

bool terminatedWithin(const char* field, size_t size) {
    return std::memchr(field, '\0', size) != nullptr;
}

std::string garbage(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string allKeysWith(const std::string& value) {
    std::string text = "[Options]\r\n";
    for (const Field& field : Fields) {
        text += std::string(field.key) + "=" + value + "\r\n";
    }
    return text;
}

struct BadFile {
    const char* what;
    std::string bytes; // "<none>" for no file at all
};

void PrintTo(const BadFile& row, std::ostream* out) {
    *out << row.what;
}

class BadFileTest : public SettingsFileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, LoadKeepsEveryFieldTerminated) {
    const BadFile& row = GetParam();
    SettingsFile::load(); // settles the INI path, which may sit beside the record
    std::memset(&settings, 0x5A, sizeof settings);
    unsigned char before[CanarySize];
    const unsigned char* after = bytesAfterSettings();
    std::memcpy(before, after, CanarySize);

    if (row.bytes != "<none>") {
        ASSERT_TRUE(zvtest::writeFile(ini, row.bytes));
    }
    SettingsFile::load();
    SettingsFile::load(); // a second read of the same file must not fare differently

    EXPECT_TRUE(terminatedWithin(settings.ClassName, sizeof settings.ClassName)) << row.what;
    EXPECT_TRUE(terminatedWithin(settings.WindowName, sizeof settings.WindowName)) << row.what;
    EXPECT_TRUE(terminatedWithin(settings.DriveLetter, sizeof settings.DriveLetter)) << row.what;
    EXPECT_EQ(0, std::memcmp(before, after, CanarySize))
        << row.what << ": bytes after the settings record changed";
    EXPECT_NE(0u, settings.UpdateInterval) << row.what << ": a zero period must become 1000";
    EXPECT_STREQ(ini.c_str(), SettingsFile::path()) << row.what;
}

const std::string HundredKb(100 * 1024, 'A');

INSTANTIATE_TEST_SUITE_P(
    Robustness, BadFileTest,
    ::testing::Values(
        BadFile{"no file", "<none>"}, BadFile{"empty file", ""},
        BadFile{"binary garbage", garbage(4096, 7)},
        BadFile{"garbage around a section",
                garbage(2000, 11) + "\r\n[Options]\r\nlevel1=5\r\n" + garbage(2000, 13)},
        BadFile{"NUL bytes in values", std::string("[Options]\r\nClassName=ab") + '\0' +
                                           "cd\r\nDriveLetter=" + std::string(10, '\0') + "\r\n"},
        BadFile{"100 KB values", "[Options]\r\nClassName=" + HundredKb + "\r\nWindowName=" +
                                     HundredKb + "\r\nDriveLetter=" + HundredKb +
                                     "\r\nlevel1=" + std::string(100 * 1024, '9') + "\r\n"},
        BadFile{"100 KB line without '='", "[Options]\r\n" + HundredKb + "\r\nlevel1=5\r\n"},
        BadFile{"100 KB section name", "[" + HundredKb + "]\r\nlevel1=5\r\n"},
        BadFile{"100 KB key name", "[Options]\r\n" + HundredKb + "=1\r\n"},
        BadFile{"100 KB without line ends", std::string(100 * 1024, '[')},
        BadFile{"huge numbers", allKeysWith("99999999999999999999999999")},
        BadFile{"huge negative numbers", allKeysWith("-99999999999999999999999999")},
        BadFile{"minus one everywhere", allKeysWith("-1")},
        BadFile{"empty values", allKeysWith("")},
        BadFile{"lone equals signs", "[Options]\r\n=\r\n==\r\n=level1\r\n"},
        BadFile{"unterminated section", "[Options\r\nlevel1=5\r\n"},
        BadFile{"UTF16 file", utf16("[Options]\r\nClassName=" + HundredKb + "\r\n")}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return identifier(info.param.what); });

TEST_F(SettingsFileTest, EmptyValuesReadAsAbsentNumbersAndEmptyTexts) {
    ASSERT_TRUE(zvtest::writeFile(ini, allKeysWith("")));
    SettingsFile::load();
    expectValues({{"level1", "0"},
                  {"key", "0"},
                  {"UpdateInterval", "1000"},
                  {"HideTarget", "0"},
                  {"ClassName", ""},
                  {"WindowName", ""},
                  {"DriveLetter", ""}},
                 "every key empty");
}

} // namespace
