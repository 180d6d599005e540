#include "settings/opt_in_keys.h"

#include <cstring>

#include "core/names.h"
#include "settings/settings.h"

namespace OptIn {

const Key Keys[] = {
    {"LogFile", Kind::Path, offsetof(Settings, LogFile), 0},
    {"DryRun", Kind::FailSafeSwitch, offsetof(Settings, DryRun), offsetof(Settings, DryRunUnclear)},
    {"ShutdownDelay", Kind::Seconds, offsetof(Settings, ShutdownDelay), 0},
    {"OnAlarm", Kind::Command, offsetof(Settings, OnAlarm), offsetof(Settings, OnAlarmTooLong)},
    {"OnLevel2", Kind::Command, offsetof(Settings, OnLevel2), offsetof(Settings, OnLevel2TooLong)},
    {"OnRecover", Kind::Command, offsetof(Settings, OnRecover),
     offsetof(Settings, OnRecoverTooLong)},
    {"ShowEstimate", Kind::Switch, offsetof(Settings, ShowEstimate), 0},
    {"ShowBalloons", Kind::Switch, offsetof(Settings, ShowBalloons), 0},
    {"KeepTrayIcon", Kind::Switch, offsetof(Settings, KeepTrayIcon), 0},
    {"TargetTimeout", Kind::Seconds, offsetof(Settings, TargetTimeout), 0},
    {"StateIcon", Kind::Switch, offsetof(Settings, StateIcon), 0},
    {"ShowHistory", Kind::Switch, offsetof(Settings, ShowHistory), 0},
    {"MakeRoom", Kind::Path, offsetof(Settings, MakeRoom), offsetof(Settings, MakeRoomTooLong)},
    {"MakeRoomTo", Kind::Count, offsetof(Settings, MakeRoomTo), 0, 0},
    {"MakeRoomAge", Kind::Count, offsetof(Settings, MakeRoomAge), 0, 60},
    {"OnMakeRoom", Kind::Command, offsetof(Settings, OnMakeRoom),
     offsetof(Settings, OnMakeRoomTooLong)},
};
const int KeyCount = sizeof Keys / sizeof Keys[0];

namespace {

// Far beyond any setting, and far from overflowing while digits are added.
constexpr std::uint64_t Saturated = 1000000000000000000ull;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int digitValue(char c, unsigned base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(c | 0x20);
    if (base == 16 && lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

} // namespace

TypedNumber parseTyped(const char* text) {
    while (isBlank(*text)) {
        ++text;
    }
    TypedNumber number = {false, 0};
    if (*text == '-' || *text == '+') {
        number.negative = *text == '-';
        ++text;
    }
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    for (int digit; (digit = digitValue(*text, base)) >= 0; ++text) {
        number.magnitude = number.magnitude * base + static_cast<unsigned>(digit);
        if (number.magnitude > Saturated) {
            number.magnitude = Saturated;
        }
    }
    return number;
}

SwitchReading readSwitch(const char* text) {
    while (isBlank(*text)) {
        ++text;
    }
    const char* start = text;
    if (*start == '-' || *start == '+') {
        ++start;
    }
    if (*text == '\0' || digitValue(*start, 10) >= 0) {
        return parseTyped(text).magnitude != 0 ? SwitchReading::On : SwitchReading::Off;
    }
    std::size_t length = std::strlen(text);
    while (length > 0 && isBlank(text[length - 1])) {
        --length;
    }
    constexpr const char* OnWords[] = {"yes", "true", "on"};
    constexpr const char* OffWords[] = {"no", "false", "off"};
    for (int i = 0; i < 3; ++i) {
        if (sameNameIgnoringCase(text, length, OnWords[i])) {
            return SwitchReading::On;
        }
        if (sameNameIgnoringCase(text, length, OffWords[i])) {
            return SwitchReading::Off;
        }
    }
    return SwitchReading::Unclear;
}

std::int32_t switchValue(const char* text) {
    return readSwitch(text) == SwitchReading::On ? 1 : 0;
}

std::int32_t secondsValue(const char* text) {
    const TypedNumber number = parseTyped(text);
    if (number.negative) {
        return 0;
    }
    return number.magnitude > static_cast<std::uint64_t>(MostSeconds)
               ? MostSeconds
               : static_cast<std::int32_t>(number.magnitude);
}

std::int32_t countValue(const char* text, std::int32_t absent) {
    const char* start = text;
    while (isBlank(*start)) {
        ++start;
    }
    const TypedNumber number = parseTyped(text);
    if (number.negative || digitValue(*start == '+' ? start[1] : *start, 10) < 0) {
        return absent;
    }
    return number.magnitude > static_cast<std::uint64_t>(INT32_MAX)
               ? INT32_MAX
               : static_cast<std::int32_t>(number.magnitude);
}

} // namespace OptIn
