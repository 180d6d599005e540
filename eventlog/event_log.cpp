#include "eventlog/event_log.h"

#include "core/names.h"
#include "core/text_builder.h"
#include "eventlog/log_platform.h"
#include "eventlog/metrics_file.h"
#include "eventlog/system_log.h"
#include "settings/number_text.h"
#include "settings/settings.h"

namespace {

char lineText[EventLog::LineSize];
char headerAndLine[sizeof EventLog::Header + EventLog::LineSize];
char logPath[EventLog::PathSize];
char oldPath[EventLog::PathSize + 4];

bool hasDriveOrRoot(const char* name) {
    return name[0] == '\\' || (name[0] != '\0' && name[1] == ':');
}

bool needsQuotes(const char* field) {
    for (; *field != '\0'; ++field) {
        if (*field == ',' || *field == '"' || *field == '\r' || *field == '\n') {
            return true;
        }
    }
    return false;
}

// A field holding a comma, a quote or a line end is quoted, its quotes doubled: otherwise
// every reader of the file would see the row split into the wrong number of fields.
void field(TextBuilder& line, const char* text) {
    if (!needsQuotes(text)) {
        line.text(text);
        return;
    }
    line.character('"');
    for (; *text != '\0'; ++text) {
        if (*text == '"') {
            line.character('"');
        }
        line.character(*text);
    }
    line.character('"');
}

void timeField(TextBuilder& line, const EventLog::LocalTime& time) {
    line.padded(time.year, 4).character('-').padded(time.month, 2).character('-');
    line.padded(time.day, 2).character(' ').padded(time.hour, 2).character(':');
    line.padded(time.minute, 2).character(':').padded(time.second, 2);
}

bool reportFailureSaid = false;

// The names of the events, in their order, each ended by a zero byte.
constexpr char EventNames[] = "start\0exit\0settings-saved\0lock\0unlock\0target-found\0"
                              "target-lost\0alarm\0key\0close\0shutdown\0recovered\0command\0"
                              "command-failed\0drive-failure\0make-room\0make-room-refused\0"
                              "event-log-failed";

// Opens the file for one line, renaming it first once it has grown past the limit.
LogFileHandle openFresh(std::uint64_t* size) {
    LogFileHandle file = logOpenForAppend(logPath);
    if (file == nullptr) {
        return nullptr;
    }
    *size = logFileSize(file);
    if (*size < EventLog::RotateAtBytes) {
        return file;
    }
    logClose(file);
    TextBuilder(oldPath, sizeof oldPath).text(logPath).text(".old");
    logReplaceOld(logPath, oldPath);
    file = logOpenForAppend(logPath);
    *size = file != nullptr ? logFileSize(file) : 0;
    return file;
}

void writeLine(const EventLog::Row& row, bool flush) {
    using namespace EventLog;
    if (settings.LogFile[0] == '\0' ||
        !resolvePath(settings.LogFile, SettingsFile::path(), logPath, PathSize)) {
        return;
    }
    LocalTime time{};
    logLocalTime(&time);
    const std::uint32_t length =
        formatLine(time, row, settings.level1, settings.level2, lineText, LineSize);
    if (length == 0) {
        return;
    }
    std::uint64_t size = 0;
    const LogFileHandle file = openFresh(&size);
    if (file == nullptr) {
        return;
    }
    // A new file gets its header in the same write as its first line.
    TextBuilder text(headerAndLine, sizeof headerAndLine);
    text.text(size == 0 ? Header : "").text(lineText);
    logWrite(file, headerAndLine, static_cast<std::uint32_t>(text.length()));
    if (flush) {
        logFlush(file);
    }
    logClose(file);
}

// A report that fails is said once, in the CSV log if there is one; the guard goes on.
void reportToSystemLog(const EventLog::Row& row) {
    const std::uint32_t error = SystemLog::report(row);
    if (error == 0 || reportFailureSaid) {
        return;
    }
    reportFailureSaid = true;
    char detail[24];
    TextBuilder(detail, sizeof detail).text("error ").number(error);
    writeLine(
        {EventLog::Event::EventLogFailed, row.haveFree, row.freeMb, row.targetPresent, detail},
        false);
}

} // namespace

namespace EventLog {

const char* eventName(Event event) {
    return packedWord(EventNames, static_cast<int>(event) - 1);
}

bool enabled() {
    return settings.LogFile[0] != '\0' || settings.EventLog != 0 || settings.MetricsFile[0] != '\0';
}

bool resolvePath(const char* logFile, const char* iniPath, char* out, std::uint32_t size) {
    TextBuilder path(out, static_cast<int>(size));
    const int folder = hasDriveOrRoot(logFile) ? 0 : folderPrefixLength(iniPath);
    for (int i = 0; i < folder; ++i) {
        path.character(iniPath[i]);
    }
    path.text(logFile);
    return !path.cut();
}

std::uint32_t formatLine(const LocalTime& time, const Row& row, std::int32_t level1,
                         std::int32_t level2, char* out, std::uint32_t size) {
    TextBuilder line(out, static_cast<int>(size));
    timeField(line, time);
    line.character(',');
    field(line, eventName(row.event));
    line.character(',');
    if (row.haveFree) {
        line.number(row.freeMb);
    }
    line.character(',').number(level1).character(',').number(level2).character(',');
    line.text(row.targetPresent ? "present" : "absent").character(',');
    field(line, row.detail);
    line.text("\r\n");
    return line.cut() ? 0 : static_cast<std::uint32_t>(line.length());
}

void append(const Row& row, bool flush) {
    Metrics::noteEvent();
    if (settings.EventLog != 0) {
        reportToSystemLog(row);
    }
    writeLine(row, flush);
}

} // namespace EventLog
