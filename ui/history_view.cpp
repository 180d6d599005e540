#include "ui/history_view.h"

#include "monitor/alarm_cycle.h"
#include "monitor/history.h"
#include "ui/history_platform.h"

namespace {

bool shown = false;

} // namespace

namespace HistoryView {

void open() {
    shown = true;
    historyShowWindow();
}

void closed() {
    shown = false;
}

void afterTick(std::uint32_t events) {
    if (!History::on()) {
        return;
    }
    if (History::record(tickClockMs(), lastTick.facts.freeMb, events) && shown) {
        historyInvalidate();
    }
}

} // namespace HistoryView
