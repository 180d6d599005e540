#include "settings/opt_in_keys.h"

#include <cstring>

#include "core/names.h"
#include "settings/settings.h"

namespace OptIn {

const char KeyNames[] = "LogFile\0"
                        "DryRun\0"
                        "ShutdownDelay\0"
                        "OnAlarm\0"
                        "OnLevel2\0"
                        "OnRecover\0"
                        "ShowEstimate\0"
                        "ShowBalloons\0"
                        "KeepTrayIcon\0"
                        "TargetTimeout\0"
                        "StateIcon\0"
                        "ShowHistory\0"
                        "MakeRoom\0"
                        "MakeRoomTo\0"
                        "MakeRoomAge\0"
                        "OnMakeRoom\0"
                        "EventLog\0"
                        "MetricsFile\0";

const Key Keys[] = {
    {Kind::Path, offsetof(Settings, LogFile), 0},
    {Kind::FailSafeSwitch, offsetof(Settings, DryRun), offsetof(Settings, DryRunUnclear)},
    {Kind::Seconds, offsetof(Settings, ShutdownDelay), 0},
    {Kind::Command, offsetof(Settings, OnAlarm), offsetof(Settings, OnAlarmTooLong)},
    {Kind::Command, offsetof(Settings, OnLevel2), offsetof(Settings, OnLevel2TooLong)},
    {Kind::Command, offsetof(Settings, OnRecover), offsetof(Settings, OnRecoverTooLong)},
    {Kind::Switch, offsetof(Settings, ShowEstimate), 0},
    {Kind::Switch, offsetof(Settings, ShowBalloons), 0},
    {Kind::Switch, offsetof(Settings, KeepTrayIcon), 0},
    {Kind::Seconds, offsetof(Settings, TargetTimeout), 0},
    {Kind::Switch, offsetof(Settings, StateIcon), 0},
    {Kind::Switch, offsetof(Settings, ShowHistory), 0},
    {Kind::Path, offsetof(Settings, MakeRoom), offsetof(Settings, MakeRoomTooLong)},
    {Kind::Megabytes, offsetof(Settings, MakeRoomTo), 0},
    {Kind::Minutes, offsetof(Settings, MakeRoomAge), 0},
    {Kind::Command, offsetof(Settings, OnMakeRoom), offsetof(Settings, OnMakeRoomTooLong)},
    {Kind::Switch, offsetof(Settings, EventLog), 0},
    {Kind::Path, offsetof(Settings, MetricsFile), 0},
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
    // The profile API has taken the blanks after the word away.
    const std::size_t length = std::strlen(text);
    const char* word = "yes\0true\0on\0no\0false\0off";
    for (int i = 0; i < 6; ++i, word += std::strlen(word) + 1) {
        if (sameNameIgnoringCase(text, length, word)) {
            return i < 3 ? SwitchReading::On : SwitchReading::Off;
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
