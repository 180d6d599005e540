#include "monitor/alarm_cycle.h"

#include "actions/target_window.h"
#include "monitor/alarm_state.h"
#include "monitor/free_space.h"
#include "monitor/monitor_platform.h"
#include "settings/settings.h"
#include "tuner/tuner_meter.h"

AlarmState alarmState;

namespace {

constexpr std::uint32_t BeepMs = 256;

void normalTick(WindowHandle mainWindow) {
    // The second press of an excursion, made whether or not the target still exists.
    if (alarmState.keyLatch && settings.key != 0) {
        TargetWindow::pressKey();
    }
    alarmState.keyLatch = false;
    alarmState.belowLevel1 = false;
    requestRepaint(mainWindow);
}

void levelTwoActions() {
    if (settings.CloseTarget != 0) {
        TargetWindow::closeTarget();
    }
    if (settings.ShutDownPC != 0) {
        ShutdownRequest();
    }
}

void alarmTick(WindowHandle mainWindow, TimerId monitorTimer) {
    alarmState.belowLevel1 = true;
    if (settings.frequency != 0) {
        beepTone(static_cast<std::uint32_t>(settings.frequency), BeepMs);
    }
    // The panel is refreshed before the key press and the level-2 steps, which may block.
    requestRepaint(mainWindow);
    if (!alarmState.targetPresent) {
        return;
    }
    if (!alarmState.keyLatch && settings.key != 0) {
        TargetWindow::pressKey();
    }
    alarmState.keyLatch = true;
    const FreeMegabytes again = FreeSpaceProbe(mainWindow, monitorTimer);
    if (!again.valid || isAboveLevel(again.megabytes, settings.level2)) {
        return;
    }
    levelTwoActions();
}

} // namespace

void tick(WindowHandle mainWindow, TimerId monitorTimer) {
    if (tunerAvailable) {
        TunerMeter::pollTuner();
    }
    alarmState.targetPresent = TargetWindow::findTarget() != nullptr;
    const FreeMegabytes free = FreeSpaceProbe(mainWindow, monitorTimer);
    if (!free.valid) {
        return;
    }
    if (isAboveLevel(free.megabytes, settings.level1)) {
        normalTick(mainWindow);
    } else {
        alarmTick(mainWindow, monitorTimer);
    }
}
