#include <cstring>

#include "settings/number_text.h"
#include "settings/profile_io.h"
#include "settings/section_text.h"
#include "settings/settings.h"

Settings settings;

namespace {

char iniPath[IniPathSize];
// Room for a long hand-edited section; a longer one is cut by the profile API.
constexpr std::uint32_t SectionSize = 16384;

// 0xDEAD: the default handed to the profile API, so that an absent key can be told apart.
constexpr std::int32_t AbsentMarker = 57005;
constexpr std::uint32_t NameReadLimit = sizeof(Settings::ClassName);
constexpr std::uint32_t DriveReadLimit = sizeof(Settings::DriveLetter);
constexpr std::uint32_t DefaultInterval = 1000;

std::int32_t readNumber(const char* key) {
    std::int32_t value = profileReadInt(key, AbsentMarker, iniPath);
    if (value != AbsentMarker) {
        return value;
    }
    // The marker may be a stored value (a level of about 55 GB): only a key that
    // also answers a second, different default is really absent.
    const std::int32_t otherMarker = AbsentMarker + 1;
    return profileReadInt(key, otherMarker, iniPath) == otherMarker ? 0 : AbsentMarker;
}

void readText(const char* key, char* field, std::uint32_t limit) {
    profileReadText(key, "DEFAULT", field, limit, iniPath);
}

void readOptInKeys() {
    profileReadText("LogFile", "", settings.LogFile, LogFileSize, iniPath);
    settings.DryRun = profileReadInt("DryRun", 0, iniPath);
    settings.ShutdownDelay = profileReadInt("ShutdownDelay", 0, iniPath);
    // Commands come from the raw section: one that begins and ends with a quoted part
    // ("C:\My Tools\a.bat" "disk low") loses that outer pair when read as text. On the
    // stack, read only here: nothing kept between loads changes with the file.
    char section[SectionSize];
    section[0] = '\0';
    section[1] = '\0';
    profileReadSection(section, SectionSize, iniPath);
    sectionValue(section, "OnAlarm", settings.OnAlarm, CommandSize);
    sectionValue(section, "OnLevel2", settings.OnLevel2, CommandSize);
    sectionValue(section, "OnRecover", settings.OnRecover, CommandSize);
    settings.ShowEstimate = profileReadInt("ShowEstimate", 0, iniPath);
    settings.ShowBalloons = profileReadInt("ShowBalloons", 0, iniPath);
    settings.KeepTrayIcon = profileReadInt("KeepTrayIcon", 0, iniPath);
}

} // namespace

namespace SettingsFile {

void load() {
    moduleFilePath(iniPath, IniPathSize);
    iniPath[IniPathSize - 1] = '\0';
    deriveIniPath(iniPath);

    settings.level1 = readNumber("level1");
    settings.level2 = readNumber("level2");
    readText("ClassName", settings.ClassName, NameReadLimit);
    readText("WindowName", settings.WindowName, NameReadLimit);
    settings.x = readNumber("x");
    settings.y = readNumber("y");
    settings.frequency = readNumber("frequency");
    settings.key = static_cast<std::uint32_t>(readNumber("key"));
    readText("DriveLetter", settings.DriveLetter, DriveReadLimit);
    if (std::strcmp(settings.DriveLetter, "DEFAULT") == 0) {
        std::strcpy(settings.DriveLetter, "C:\\");
    }
    settings.CloseTarget = readNumber("CloseTarget");
    settings.ShutDownPC = readNumber("ShutDownPC");
    settings.UpdateInterval = static_cast<std::uint32_t>(readNumber("UpdateInterval"));
    if (settings.UpdateInterval == 0) {
        settings.UpdateInterval = DefaultInterval;
    }
    settings.HideTarget = readNumber("HideTarget");
    readOptInKeys();
}

void writeNumber(const char* key, std::int32_t value) {
    profileWriteText(key, formatNumber(value), iniPath);
}

void save() {
    writeNumber("level1", settings.level1);
    writeNumber("level2", settings.level2);
    profileWriteText("ClassName", settings.ClassName, iniPath);
    profileWriteText("WindowName", settings.WindowName, iniPath);
    writeNumber("x", settings.x);
    writeNumber("y", settings.y);
    writeNumber("frequency", settings.frequency);
    writeNumber("key", static_cast<std::int32_t>(settings.key));
    profileWriteText("DriveLetter", settings.DriveLetter, iniPath);
    writeNumber("CloseTarget", settings.CloseTarget);
    writeNumber("ShutDownPC", settings.ShutDownPC);
    writeNumber("UpdateInterval", static_cast<std::int32_t>(settings.UpdateInterval));
    writeNumber("HideTarget", settings.HideTarget);
}

const char* path() {
    return iniPath;
}

} // namespace SettingsFile
