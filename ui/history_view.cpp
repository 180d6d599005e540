#include "ui/history_view.h"

#include "monitor/alarm_cycle.h"
#include "monitor/history.h"
#include "settings/settings.h"
#include "ui/history_platform.h"

namespace {

bool shown = false;

} // namespace

namespace HistoryView {

void open() {
    shown = historyShowWindow();
}

void closed() {
    shown = false;
}

void afterTick(std::uint32_t events) {
    if (!History::on()) {
        return;
    }
    const std::uint64_t nowMs = tickClockMs();
    History::followDrive(settings.DriveLetter);
    if (History::localTimeDue(nowMs)) {
        History::noteLocalTime(nowMs, historyLocalSecondOfDay());
    }
    if (History::record(nowMs, lastTick.facts.freeMb, events) && shown) {
        historyInvalidate();
    }
}

} // namespace HistoryView
