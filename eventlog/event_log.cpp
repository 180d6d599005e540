#include "eventlog/event_log.h"

#include "core/text_builder.h"
#include "eventlog/log_platform.h"
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
    line.number(time.year, 4).character('-').number(time.month, 2).character('-');
    line.number(time.day, 2).character(' ').number(time.hour, 2).character(':');
    line.number(time.minute, 2).character(':').number(time.second, 2);
}

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

} // namespace

namespace EventLog {

bool enabled() {
    return settings.LogFile[0] != '\0';
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
    field(line, row.event);
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
    if (!enabled() || !resolvePath(settings.LogFile, SettingsFile::path(), logPath, PathSize)) {
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

} // namespace EventLog
