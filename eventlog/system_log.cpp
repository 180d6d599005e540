#include "eventlog/system_log.h"

#include <cstring>

#include "core/text_builder.h"
#include "eventlog/system_log_platform.h"
#include "settings/settings.h"

namespace SystemLog {

namespace {

// The events' types, in the order of their IDs.
constexpr std::uint8_t Types[] = {Information, Information, Information, Information, Information,
                                  Information, Information, Warning,     Information, Warning,
                                  Warning,     Information, Information, Error,       Error,
                                  Information, Information, Information};
static_assert(sizeof Types == static_cast<int>(EventLog::Event::EventLogFailed),
              "a type for each event");

bool tried = false;
EventSource source = nullptr;
char text[EventLog::LineSize];

bool startsWith(const char* text, const char* start) {
    return std::strncmp(text, start, std::strlen(start)) == 0;
}

} // namespace

Kind kindOf(EventLog::Event event, const char* detail) {
    const auto id = static_cast<std::uint16_t>(event);
    Kind kind = {id, Types[id - 1]};
    if (event == EventLog::Event::Shutdown && startsWith(detail, "refused")) {
        kind.type = Error;
    } else if (event == EventLog::Event::MakeRoom && startsWith(detail, "deleted")) {
        kind.type = Warning;
    }
    return kind;
}

void describe(const EventLog::Row& row, std::int32_t level1, std::int32_t level2, char* out,
              int size) {
    TextBuilder line(out, size);
    line.text("drive=").text(settings.DriveLetter).text(" free_mb=");
    if (row.haveFree) {
        line.number(row.freeMb);
    }
    line.text(" level1=").number(level1).text(" level2=").number(level2);
    line.text(" target=").text(row.targetPresent ? "present" : "absent");
    line.text(" detail=").text(row.detail);
}

std::uint32_t report(const EventLog::Row& row) {
    std::uint32_t error = 0;
    if (!tried) {
        tried = true;
        source = openEventSource(&error);
    }
    if (source == nullptr) {
        return error;
    }
    const Kind kind = kindOf(row.event, row.detail);
    describe(row, settings.level1, settings.level2, text, sizeof text);
    return reportEvent(source, kind.type, kind.id, text);
}

} // namespace SystemLog
