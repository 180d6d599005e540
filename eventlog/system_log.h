#pragma once
#include <cstdint>

#include "eventlog/event_log.h"

// The Application event log: each event of the CSV log reported under the source
// "Zembrovale", with its ID (EventLog::Event, as resources/messages.mc has them) and the
// line's numbers as its text.
namespace SystemLog {

// EVENTLOG_ERROR_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_INFORMATION_TYPE.
constexpr std::uint16_t Error = 1, Warning = 2, Information = 4;

struct Kind {
    std::uint16_t id;
    std::uint16_t type;
};
// The ID and the type of an event: a refused shutdown is an error, a deletion a warning.
Kind kindOf(EventLog::Event event, const char* detail);
// "drive=D:\ free_mb=450 level1=500 level2=100 target=present detail=key first 82".
void describe(const EventLog::Row& row, std::int32_t level1, std::int32_t level2, char* out,
              int size);
// Reports one event. The source is registered at the first report; when that fails, nothing
// is tried again in this run. 0, or why the report failed.
std::uint32_t report(const EventLog::Row& row);

} // namespace SystemLog
