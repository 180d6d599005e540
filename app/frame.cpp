#include "app/frame.h"

#include "actions/commands.h"
#include "actions/target_window.h"
#include "eventlog/metrics_file.h"
#include "app/frame_platform.h"
#include "app/main_window.h"
#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "monitor/history.h"
#include "monitor/watch_log.h"
#include "settings/settings.h"
#include "tuner/tuner_meter.h"
#include "ui/history_view.h"
#include "ui/tray_menu.h"
#include "ui/tray_platform.h"

namespace {

constexpr std::uintptr_t SizeMinimized = 1; // SIZE_MINIMIZED

// The window's top-left corner as WM_DESTROY found it.
bool positionCaptured = false;
std::int32_t capturedLeft = 0;
std::int32_t capturedTop = 0;

// True while a check runs. It may wait on the target, and meanwhile the program handles the
// messages sent to it: a click on the icon would open the menu, whose loop delivers the timer,
// and a second check would run inside the first.
bool checking = false;

// A click on the icon that came while checking, handled once the check is done.
struct DeferredClick {
    bool pending;
    std::uintptr_t iconId;
    std::intptr_t mouseMessage;
};
DeferredClick deferredClick = {};

// The chart's mark of a started command, or 0.
std::uint32_t announce(Transition transition, const TransitionFacts& facts) {
    const bool started = Commands::run(transition, facts);
    TrayMenu::announce(transition, facts);
    return started ? History::bit(History::Command) : 0;
}

// What the metrics file says of the last check; `up` false once the end has begun.
Metrics::Gauges gauges(bool up) {
    Metrics::Gauges state = {lastTick.measured, lastTick.facts.freeMb,    alarmState.belowLevel1,
                             levelTwoTaken(),   alarmState.targetPresent, up};
    return state;
}

void check(WindowHandle mainWindow) {
    tick(mainWindow, monitorTimer);
    // A drive lost within the tick has ended the run: nothing more is started or shown, and
    // the icon and the chart stay as they were.
    if (driveFailureReported) {
        return;
    }
    std::uint32_t events = lastTick.events;
    // Room made comes first, so that an alarm of the same check has the last balloon.
    if ((events & History::bit(History::Room)) != 0) {
        events |= announce(Transition::MakeRoom, lastTick.facts);
    }
    if ((events & History::bit(History::Alarm)) != 0) {
        events |= announce(Transition::Alarm, lastTick.facts);
    }
    if ((events & History::bit(History::LevelTwo)) != 0) {
        // Told with the measurement that decided it, never a number above level 2.
        TransitionFacts levelTwo = lastTick.facts;
        levelTwo.freeMb = lastTick.levelTwoFreeMb;
        events |= announce(Transition::LevelTwo, levelTwo);
    }
    if ((events & History::bit(History::Recover)) != 0) {
        events |= announce(Transition::Recover, lastTick.facts);
    }
    if (settings.ShowEstimate != 0 && lastTick.measured && lastTick.clockRead) {
        TrayMenu::refreshTip(lastTick.nowMs, lastTick.facts);
    }
    TrayMenu::showState(events);
    HistoryView::afterTick(events);
    if (settings.MetricsFile[0] != '\0') {
        Metrics::afterCheck(tickClockMs(), gauges(true));
    }
}

bool isClick(std::intptr_t mouseMessage) {
    return mouseMessage == TrayMsgLeftButtonUp || mouseMessage == TrayMsgRightButtonUp;
}

} // namespace

namespace Frame {

void onCreate(WindowHandle mainWindow) {
    TrayMenu::build(mainWindow);
    TunerMeter::createBar(mainWindow);
    // A lock stored in the file takes effect at start; with none, an existing target is
    // unlocked and brought to the front.
    logLock(TargetWindow::applyLock(TargetWindow::answerWaitMs()), LockSaid::WhenSkipped);
}

void onSize(WindowHandle mainWindow, std::uintptr_t sizeType) {
    if (sizeType != SizeMinimized) {
        return;
    }
    // Minimized means gone to the notification area, not left on the taskbar.
    windowHidden = true;
    TrayMenu::setItemText(CmdHideRestore, "Restore");
    frameHideWindow(mainWindow);
}

void onTimer(WindowHandle mainWindow) {
    // A tick that comes while a check runs is dropped: the next one comes anyway.
    if (checking) {
        return;
    }
    checking = true;
    check(mainWindow);
    checking = false;
    if (deferredClick.pending) {
        deferredClick.pending = false;
        if (!ending()) {
            TrayMenu::onTrayNotify(mainWindow, deferredClick.iconId, deferredClick.mouseMessage);
        }
    }
}

void onTrayNotify(WindowHandle mainWindow, std::uintptr_t iconId, std::intptr_t mouseMessage) {
    if (!checking) {
        TrayMenu::onTrayNotify(mainWindow, iconId, mouseMessage);
    } else if (isClick(mouseMessage)) {
        deferredClick = {true, iconId, mouseMessage};
    }
}

void onDestroy(WindowHandle mainWindow) {
    // The end runs once. WM_DESTROY can come twice in one run: "Close" chosen from the
    // icon's menu while the drive warning is up ends the warning, which then sends its own.
    if (positionCaptured) {
        return;
    }
    TrayMenu::removeIcon();
    frameWindowTopLeft(mainWindow, &capturedLeft, &capturedTop);
    positionCaptured = true;
    frameQuitLoop();
}

bool ending() {
    return positionCaptured;
}

void finish() {
    logEvent(EventLog::Event::Exit);
    // A hidden window's position is meaningless; without a capture there is nothing to keep.
    if (positionCaptured && !windowHidden) {
        SettingsFile::writeNumber("x", capturedLeft);
        SettingsFile::writeNumber("y", capturedTop);
    }
    // The file stays, saying that the guard has ended rather than hung.
    Metrics::write(gauges(false));
    if (tunerAvailable) {
        TunerMeter::closeTuner();
    }
}

} // namespace Frame
