#pragma once
#include <cstdint>

constexpr int LogFileSize = 260; // up to 259 characters
constexpr int CommandSize = 512; // a command line of up to 511 characters

// Why a command was not read whole, and so never runs: 0 when it was.
using CommandUnread = std::uint8_t;
constexpr CommandUnread CommandTooLong = 1;     // longer than its field
constexpr CommandUnread CommandPastSection = 2; // past the part of the section that was read

// One field per INI key; see the README's key table.
struct Settings {
    std::int32_t level1;
    std::int32_t level2;
    char ClassName[256];
    char WindowName[256];
    std::int32_t x;
    std::int32_t y;
    std::int32_t frequency;
    std::uint32_t key;
    char DriveLetter[8];
    std::int32_t CloseTarget;
    std::int32_t ShutDownPC;
    std::uint32_t UpdateInterval;
    std::int32_t HideTarget;

    // Opt-in keys for unattended nights, read as the table in opt_in_keys.cpp says and
    // never written. Absent is 0 or "".
    char LogFile[LogFileSize];
    std::int32_t DryRun;
    bool DryRunUnclear; // on because its value was neither a number nor a word for on or off
    std::int32_t ShutdownDelay; // seconds
    char OnAlarm[CommandSize];
    char OnLevel2[CommandSize];
    char OnRecover[CommandSize];
    // A command that cannot be read whole is left empty and marked, so it never runs cut short.
    CommandUnread OnAlarmTooLong;
    CommandUnread OnLevel2TooLong;
    CommandUnread OnRecoverTooLong;
    std::int32_t ShowEstimate;
    std::int32_t ShowBalloons;
    std::int32_t KeepTrayIcon;
    std::int32_t TargetTimeout; // seconds
    std::int32_t StateIcon;
    std::int32_t ShowHistory;
    // Making room: the folder and pattern of the files that may go, the free megabytes to reach
    // (0: level 1 + 1024) and the minutes a file must have gone unchanged.
    char MakeRoom[LogFileSize];
    bool MakeRoomTooLong;
    std::int32_t MakeRoomTo;
    std::int32_t MakeRoomAge;
    char OnMakeRoom[CommandSize];
    CommandUnread OnMakeRoomTooLong;
    // Watching many machines: the Application event log, and the metrics file.
    std::int32_t EventLog;
    char MetricsFile[LogFileSize];
};

extern Settings settings;

// The one shared number field. Wide enough for any 32-bit value ("-2147483648",
// "4294967295") and its terminator, so no number is ever cut or overruns it.
constexpr int NumberTextSize = 12;
extern char NumberText[NumberTextSize];

constexpr int IniPathSize = 260;

namespace SettingsFile {
void load();
void save();
void writeNumber(const char* key, std::int32_t value);
const char* path();
} // namespace SettingsFile
