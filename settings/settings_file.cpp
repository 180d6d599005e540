#include <cstring>

#include "settings/number_text.h"
#include "settings/opt_in_keys.h"
#include "settings/profile_io.h"
#include "settings/section_text.h"
#include "settings/settings.h"

Settings settings;

namespace {

char iniPath[IniPathSize];
// Room for a long hand-edited section; a longer one is cut, and its cut line dropped. On the
// stack of `load`, the only reader: nothing kept between loads changes with the file.
constexpr std::uint32_t SectionSize = 32768;
// Enough for any number with its blanks and zeros as a person types it.
constexpr std::uint32_t TypedNumberSize = 64;

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

// Reads the section whole. When it did not fit, its last line may be cut: it is dropped, so
// that no value is ever read short.
bool readSection(char* section) {
    section[0] = '\0';
    section[1] = '\0';
    const std::uint32_t length = profileReadSection(section, SectionSize, iniPath);
    if (length < SectionSize - 2) {
        return false;
    }
    std::uint32_t lastLine = 0;
    for (std::uint32_t at = 0; at < SectionSize - 2; ++at) {
        if (section[at] == '\0') {
            lastLine = at + 1;
        }
    }
    section[lastLine] = '\0';
    return true;
}

// A path the field cannot hold whole would name another file: it leaves the key unset, and
// marked where the key has a mark.
void readPath(const char* key, char* field, bool* tooLong) {
    char path[LogFileSize + 1];
    profileReadText(key, "", path, sizeof path, iniPath);
    field[0] = '\0';
    const bool fits = std::strlen(path) < LogFileSize;
    if (fits) {
        std::strcpy(field, path);
    }
    if (tooLong != nullptr) {
        *tooLong = !fits;
    }
}

// Commands come from the raw section: one that begins and ends with a quoted part
// ("C:\My Tools\a.bat" "disk low") loses that outer pair when read as text.
void readCommand(const char* section, const char* key, char* field, CommandUnread* unread,
                 bool sectionCut) {
    bool cut = false;
    const bool found = sectionValue(section, key, field, CommandSize, &cut);
    *unread = cut ? CommandTooLong : 0;
    if (!found && sectionCut) {
        // Beyond the part of the section that was read: there, but not readable whole.
        char probe[2];
        profileReadText(key, "", probe, sizeof probe, iniPath);
        *unread = probe[0] != '\0' ? CommandPastSection : 0;
    }
    if (*unread != 0) {
        field[0] = '\0';
    }
}

void readTyped(const char* key, char (&typed)[TypedNumberSize]) {
    profileReadText(key, "", typed, sizeof typed, iniPath);
}

// A rehearsal that was meant must never become a real shutdown: what is not clearly off is on.
void readFailSafeSwitch(const char* key, std::int32_t* field, bool* unclear) {
    char typed[TypedNumberSize];
    readTyped(key, typed);
    const OptIn::SwitchReading reading = OptIn::readSwitch(typed);
    *unclear = reading == OptIn::SwitchReading::Unclear;
    *field = reading != OptIn::SwitchReading::Off ? 1 : 0;
}

std::int32_t readTypedNumber(const OptIn::Key& key, const char* name) {
    char typed[TypedNumberSize];
    readTyped(name, typed);
    switch (key.kind) {
    case OptIn::Kind::Switch:
        return OptIn::switchValue(typed);
    case OptIn::Kind::Megabytes:
    case OptIn::Kind::Minutes:
        return OptIn::countValue(typed, key.kind == OptIn::Kind::Minutes ? 60 : 0);
    default:
        return OptIn::secondsValue(typed);
    }
}

void readOptInKeys() {
    char section[SectionSize];
    const bool sectionCut = readSection(section);
    char* const base = reinterpret_cast<char*>(&settings);
    const char* name = OptIn::KeyNames;
    for (int i = 0; i < OptIn::KeyCount; ++i, name += std::strlen(name) + 1) {
        const OptIn::Key& key = OptIn::Keys[i];
        char* const field = base + key.field;
        switch (key.kind) {
        case OptIn::Kind::Path:
            readPath(name, field,
                     key.mark != 0 ? reinterpret_cast<bool*>(base + key.mark) : nullptr);
            break;
        case OptIn::Kind::Command:
            readCommand(section, name, field, reinterpret_cast<CommandUnread*>(base + key.mark),
                        sectionCut);
            break;
        case OptIn::Kind::FailSafeSwitch:
            readFailSafeSwitch(name, reinterpret_cast<std::int32_t*>(field),
                               reinterpret_cast<bool*>(base + key.mark));
            break;
        case OptIn::Kind::Switch:
        case OptIn::Kind::Seconds:
        case OptIn::Kind::Megabytes:
        case OptIn::Kind::Minutes:
            *reinterpret_cast<std::int32_t*>(field) = readTypedNumber(key, name);
            break;
        }
    }
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
