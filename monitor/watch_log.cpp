#include "monitor/watch_log.h"

#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "settings/settings.h"

namespace {

// EventLog::append does nothing while the log is off.
void write(EventLog::Event event, const char* detail, bool measured, bool flush) {
    const EventLog::Row row = {event, measured, lastTick.facts.freeMb, alarmState.targetPresent,
                               detail};
    EventLog::append(row, flush);
}

} // namespace

void logEvent(EventLog::Event event, const char* detail) {
    write(event, detail, lastTick.measured, false);
}

// Apart, so that the calls without a detail or a flush pass neither.
void logEvent(EventLog::Event event) {
    logEvent(event, "");
}

void logFlushed(EventLog::Event event, const char* detail) {
    write(event, detail, lastTick.measured, true);
}

void logEventUnmeasured(EventLog::Event event, const char* detail) {
    write(event, detail, false, false);
}

void logStart() {
    if (!EventLog::enabled()) {
        return;
    }
    char detail[128];
    TextBuilder(detail, sizeof detail)
        .text("drive=")
        .text(settings.DriveLetter)
        .text(" interval=")
        .number(settings.UpdateInterval)
        .text("ms dry-run=")
        .text(settings.DryRun != 0 ? "on" : "off")
        .text(settings.DryRunUnclear ? " (unclear: on)" : "")
        .text(" delay=")
        .number(settings.ShutdownDelay > 0 ? settings.ShutdownDelay : 0)
        .text("s");
    logEvent(EventLog::Event::Start, detail);
}

const char SkippedNoAnswer[] = "skipped (no answer)";

void logLock(bool made, LockSaid say) {
    if (say == (made ? LockSaid::WhenSkipped : LockSaid::WhenMade)) {
        return;
    }
    logEvent(settings.HideTarget != 0 ? EventLog::Event::Lock : EventLog::Event::Unlock,
             made ? "" : SkippedNoAnswer);
}
