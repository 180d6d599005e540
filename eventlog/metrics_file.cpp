#include "eventlog/metrics_file.h"

#include "core/program_name.h"
#include "core/names.h"
#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "eventlog/metrics_platform.h"
#include "settings/settings.h"

namespace Metrics {

Tally tally;

namespace {

// In the order of the file, the counters (their names end in _total) from Alarms to
// RoomBytes; zembrovale_up comes last.
enum : int {
    Free,
    Level,
    Alarm,
    LevelTwo,
    Target,
    DryRun,
    Checked,
    Alarms,
    Shutdowns,
    Failed,
    RoomFiles,
    RoomBytes,
    Build,
    Up,
    MetricCount
};
constexpr const char* Prefix = "zembrovale_";
// Each metric's name (after Prefix) and help, in that order, each ended by a zero byte.
constexpr char Texts[] = "free_bytes\0"
                         "Free space.\0"
                         "level_bytes\0"
                         "Critical levels.\0"
                         "alarm\0"
                         "1 at or below level 1.\0"
                         "level2\0"
                         "1 after the level 2 actions.\0"
                         "target_present\0"
                         "1 while the target exists.\0"
                         "dry_run\0"
                         "1 while DryRun is on.\0"
                         "last_check_timestamp_seconds\0"
                         "Time of the last check.\0"
                         "alarms_total\0"
                         "Alarms.\0"
                         "shutdown_requests_total\0"
                         "Shutdowns asked for.\0"
                         "commands_failed_total\0"
                         "Commands that failed.\0"
                         "room_deleted_files_total\0"
                         "Files deleted to make room.\0"
                         "room_deleted_bytes_total\0"
                         "Bytes deleted to make room.\0"
                         "build_info\0"
                         "Version and build.\0"
                         "up\0"
                         "0 once ended.";

constexpr std::int64_t Megabyte = 1048576;

bool eventSinceWrite = false;
bool everWritten = false;
std::uint64_t writtenMs = 0;
std::int64_t checkedAt = 0;
char text[TextSize];
char path[EventLog::PathSize];
char tempPath[EventLog::PathSize + 4];

// `name` is the metric's in Texts, followed there by its help.
void header(TextBuilder& text, int metric, const char* name) {
    const char* help = packedWord(name, 1);
    text.text("# HELP ").text(Prefix).text(name).character(' ').text(help).character('\n');
    text.text("# TYPE ").text(Prefix).text(name);
    text.text(metric >= Alarms && metric <= RoomBytes ? " counter\n" : " gauge\n");
}

// One sample; the drive's backslash and quote are escaped, as the format requires of labels.
void sample(TextBuilder& text, int metric, const char* name, std::int64_t value,
            const char* labels) {
    text.text(Prefix).text(name).text("{drive=\"");
    for (const char* c = settings.DriveLetter; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '"') {
            text.character('\\');
        }
        text.character(*c);
    }
    // Free space and the levels are kept in megabytes; the format wants bytes.
    if (metric <= Level) {
        value *= Megabyte;
    }
    text.character('"').text(labels).text("} ").number(value).character('\n');
}

void put(const Gauges& gauges) {
    if (!EventLog::resolvePath(settings.MetricsFile, SettingsFile::path(), path, sizeof path)) {
        return;
    }
    TextBuilder(tempPath, sizeof tempPath).text(path).text(".tmp");
    const int length = format(gauges, checkedAt, metricsArch(), text, sizeof text);
    metricsReplace(path, tempPath, text, static_cast<std::uint32_t>(length));
}

} // namespace

void noteEvent() {
    eventSinceWrite = true;
}

void afterCheck(std::uint64_t nowMs, const Gauges& gauges) {
    if (settings.MetricsFile[0] == '\0' ||
        (!eventSinceWrite && everWritten && nowMs - writtenMs < PeriodMs)) {
        return;
    }
    // Failed or not, the next try waits for the next event or period.
    eventSinceWrite = false;
    everWritten = true;
    writtenMs = nowMs;
    checkedAt = metricsUnixTime();
    put(gauges);
}

void write(const Gauges& gauges) {
    if (settings.MetricsFile[0] != '\0') {
        put(gauges);
    }
}

int format(const Gauges& gauges, std::int64_t checked, const char* arch, char* out, int size) {
    char build[48];
    TextBuilder(build, sizeof build)
        .text(",version=\"")
        .text(ProgramVersion)
        .text("\",arch=\"")
        .text(arch)
        .character('"');
    const std::int64_t values[MetricCount] = {gauges.freeMb,
                                              settings.level1,
                                              gauges.alarm,
                                              gauges.levelTwo,
                                              gauges.targetPresent,
                                              settings.DryRun != 0,
                                              checked,
                                              tally.alarms,
                                              tally.shutdownRequests,
                                              tally.commandsFailed,
                                              tally.roomFiles,
                                              static_cast<std::int64_t>(tally.roomBytes),
                                              1,
                                              gauges.up};
    TextBuilder text(out, size);
    for (int metric = 0; metric < MetricCount; ++metric) {
        // Nothing measured yet: no free space and no time of a check.
        if (!gauges.measured && (metric == Free || metric == Checked)) {
            continue;
        }
        const char* name = packedWord(Texts, 2 * metric);
        header(text, metric, name);
        sample(text, metric, name, values[metric],
               metric == Level   ? ",level=\"1\""
               : metric == Build ? build
                                 : "");
        if (metric == Level) {
            sample(text, metric, name, settings.level2, ",level=\"2\"");
        }
    }
    return text.length();
}

} // namespace Metrics
