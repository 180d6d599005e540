#pragma once
#include <cstdint>

// The event log: one CSV line per event, appended to the file that `LogFile` names
// ("time,event,free_mb,level1,level2,target,detail", CR LF line ends). Nothing is kept
// open between lines, so the user may read, move or delete the file while the program runs.
namespace EventLog {

struct LocalTime {
    std::uint16_t year, month, day, hour, minute, second;
};

// Every kind of event, in the order of their IDs in the Application log, from 1: the guide
// lists them. A new kind goes at the end, so that no ID ever changes its meaning.
enum class Event : std::uint8_t {
    Start = 1,
    Exit,
    SettingsSaved,
    Lock,
    Unlock,
    TargetFound,
    TargetLost,
    Alarm,
    Key,
    Close,
    Shutdown,
    Recovered,
    Command,
    CommandFailed,
    DriveFailure,
    MakeRoom,
    MakeRoomRefused,
    EventLogFailed,
};
// The event's name in the CSV log: "start", "target-found", ...
const char* eventName(Event event);

// One line, less its time and the levels, which come from the clock and `Settings`.
struct Row {
    Event event;
    bool haveFree; // false: free_mb stays empty (no measurement yet)
    std::uint32_t freeMb;
    bool targetPresent;
    const char* detail; // never null; quoted as CSV requires
};

// An array, not a pointer: its size is what the buffer of a new file's first write holds.
inline constexpr char Header[] = "time,event,free_mb,level1,level2,target,detail\r\n";
// Past this size the file is renamed to "<LogFile>.old" and begun anew.
constexpr std::uint64_t RotateAtBytes = 1048576;
constexpr std::uint32_t LineSize = 1024;
constexpr std::uint32_t PathSize = 520;

// True while the events go anywhere: `LogFile` names a file, `EventLog` is on, or
// `MetricsFile` is written at each event.
bool enabled();

// One event: reported to the Application log while `EventLog` is on, and appended to the
// CSV file by one open, write and close while `LogFile` names one; a new or renamed file gets
// the header in the same write. `flush` has the line on the disk before it returns. Every
// failure is silent (the log may live on the very drive that is full), but a failed report
// is said once in the CSV file.
void append(const Row& row, bool flush = false);

// `logFile` as a full path: a name with a drive letter or a leading backslash stands as it
// is, any other lies in the folder of `iniPath`. False when the result does not fit.
bool resolvePath(const char* logFile, const char* iniPath, char* out, std::uint32_t size);

// One line with its CR LF; returns its length, or 0 when it does not fit into `size`.
std::uint32_t formatLine(const LocalTime& time, const Row& row, std::int32_t level1,
                         std::int32_t level2, char* out, std::uint32_t size);

} // namespace EventLog
