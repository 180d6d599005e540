#include "monitor/alarm_cycle.h"

#include "actions/make_room.h"
#include "actions/target_window.h"
#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "eventlog/metrics_file.h"
#include "monitor/alarm_state.h"
#include "monitor/fill_estimate.h"
#include "monitor/free_space.h"
#include "monitor/monitor_platform.h"
#include "monitor/monotonic_clock.h"
#include "monitor/room_making.h"
#include "monitor/watch_log.h"
#include "settings/settings.h"
#include "tuner/tuner_meter.h"

AlarmState alarmState;
TickReport lastTick{}; // {}: zero in the image, with no constructor left to run

namespace {

using EventLog::Event;

constexpr std::uint32_t BeepMs = 256;

// With a shutdown delay, the first level-2 tick arms the shutdown; it is released once the
// target has gone or the delay has passed, and from then on asked for on every tick.
enum class ShutdownStage { Idle, Armed, Released };
enum class ShutdownOutcome { None, Accepted, Refused, DryRun };

// What the current excursion below level 1 has done, for the lines that are written once
// per excursion and for the delay. The first normal tick clears it.
struct Excursion {
    bool startKnown;
    std::uint64_t startMs;
    bool closeLogged;
    bool closeFailureLogged; // a close that was not sent

    bool levelTwoTaken;
    ShutdownStage shutdown;
    std::uint64_t armedMs;
    bool requestLogged;
    ShutdownOutcome outcome;
};
Excursion excursion;

bool estimateWanted() {
    return EventLog::enabled() || settings.OnAlarm[0] != '\0' || settings.OnLevel2[0] != '\0' ||
           settings.OnRecover[0] != '\0' || settings.ShowEstimate != 0 ||
           settings.ShowBalloons != 0 || History::on();
}

constexpr std::uint32_t Transitions =
    History::bit(History::Alarm) | History::bit(History::LevelTwo) | History::bit(History::Recover);

void note(History::Event event) {
    lastTick.events |= History::bit(event);
}

// Worked out at most once per tick, and only for a line or an announcement that shows it.
bool forecastReady = false;
// Set by the lookup; its line waits for the measurement.
bool targetChanged = false;

const FillForecast& tickForecast() {
    if (!forecastReady) {
        lastTick.facts.forecast = FillEstimate::forecast(tickClockMs(), lastTick.facts.freeMb,
                                                         settings.level1, settings.level2);
        forecastReady = true;
    }
    return lastTick.facts.forecast;
}

void logKey(const char* which, TargetWindow::KeyPress press) {
    // Charted only where it arrived; the log tells the rest.
    if (press.reached && press.answered) {
        note(History::Key);
    }
    char detail[48];
    TextBuilder(detail, sizeof detail)
        .text(which)
        .character(' ')
        .number(settings.key)
        .text(!press.reached    ? " (no target)"
              : !press.answered ? " (no answer)"
                                : "");
    logEvent(Event::Key, detail);
}

void pressKey(const char* which) {
    logKey(which, TargetWindow::pressKey(TargetWindow::answerWaitMs()));
}

void logAlarm() {
    char detail[96] = "";
    if (estimateWanted()) {
        const FillForecast& forecast = tickForecast();
        if (forecast.known) {
            char rate[16];
            FillEstimate::formatRate(forecast.mbPerMinute, rate, sizeof rate);
            TextBuilder text(detail, sizeof detail);
            text.text("rate=").text(rate).text(" MB/min, ");
            FillEstimate::describeArrival(text, forecast);
        }
    }
    logEvent(Event::Alarm, detail);
}

void logRecovery() {
    char detail[48] = "";
    if (excursion.startKnown) {
        TextBuilder(detail, sizeof detail)
            .text("lasted ")
            .number(static_cast<std::int64_t>((tickClockMs() - excursion.startMs) / 1000))
            .text(" s");
    }
    logEvent(Event::Recovered, detail);
}

void startExcursion() {
    note(History::Alarm);
    excursion = Excursion{};
    ++Metrics::tally.alarms;
    if (EventLog::enabled()) {
        excursion.startKnown = true;
        excursion.startMs = tickClockMs();
    }
    logAlarm();
}

void normalTick(WindowHandle mainWindow) {
    if (alarmState.belowLevel1) {
        note(History::Recover);
        logRecovery();
    }
    // The second press of an excursion, made whether or not the target still exists.
    if (alarmState.keyLatch && settings.key != 0) {
        pressKey("second");
    }
    alarmState.keyLatch = false;
    alarmState.belowLevel1 = false;
    excursion = Excursion{};
    RoomMaking::endExcursion();
    requestRepaint(mainWindow);
}

void noteOutcome(ShutdownOutcome outcome, const char* detail) {
    if (excursion.outcome != outcome) {
        excursion.outcome = outcome;
        logFlushed(Event::Shutdown, detail);
    }
}

// A rehearsal never asks; otherwise the line is on the disk before the request goes out.
// The chart marks the shutdown where the log says it first.
void requestShutdown() {
    if (settings.DryRun != 0) {
        if (excursion.outcome != ShutdownOutcome::DryRun) {
            note(History::Shutdown);
        }
        noteOutcome(ShutdownOutcome::DryRun, "dry run");
        return;
    }
    if (!excursion.requestLogged) {
        excursion.requestLogged = true;
        note(History::Shutdown);
        logFlushed(Event::Shutdown, "requested");
    }
    ++Metrics::tally.shutdownRequests;
    const bool accepted = ShutdownRequest();
    noteOutcome(accepted ? ShutdownOutcome::Accepted : ShutdownOutcome::Refused,
                accepted ? "accepted" : "refused");
}

std::uint64_t shutdownDelayMs() {
    return settings.ShutdownDelay > 0 ? static_cast<std::uint64_t>(settings.ShutdownDelay) * 1000
                                      : 0;
}

// The grace period runs from the first close request of the excursion, and its promise holds
// whatever the target does: the shutdown comes once it has passed.
bool graceApplies() {
    return settings.ShutDownPC != 0 && shutdownDelayMs() > 0;
}

// Read afresh rather than at the tick's start: the beep, a key press or a close may have
// waited for most of it.
std::uint64_t clockNowMs() {
    return MonotonicClock::extend(tickCount());
}

std::uint64_t sinceArmedMs() {
    return clockNowMs() - excursion.armedMs;
}

// Later ticks of an excursion with an armed shutdown, whether or not they reach level 2.
void followArmedShutdown(bool targetPresent) {
    if (excursion.shutdown == ShutdownStage::Idle || settings.ShutDownPC == 0) {
        return;
    }
    if (excursion.shutdown == ShutdownStage::Armed &&
        (!targetPresent || sinceArmedMs() >= shutdownDelayMs())) {
        excursion.shutdown = ShutdownStage::Released;
    }
    if (excursion.shutdown == ShutdownStage::Released) {
        requestShutdown();
    }
}

// A close waits at most as long as TargetTimeout allows, and never past the moment the grace
// period promised the shutdown.
std::uint32_t closeWaitMs() {
    std::uint32_t wait = TargetWindow::answerWaitMs();
    if (graceApplies()) {
        const std::uint64_t since = sinceArmedMs();
        const std::uint64_t left = since < shutdownDelayMs() ? shutdownDelayMs() - since : 0;
        if (left < wait) {
            wait = static_cast<std::uint32_t>(left);
        }
    }
    return wait;
}

// A close that was never sent is said once per excursion and not charted: the log and the
// chart tell only what happened.
void logUnsentClose(const TargetWindow::CloseResult& result) {
    if (excursion.closeFailureLogged) {
        return;
    }
    excursion.closeFailureLogged = true;
    char detail[48];
    TextBuilder text(detail, sizeof detail);
    switch (result.outcome) {
    case TargetWindow::Close::Gone:
        text.text("target gone");
        break;
    case TargetWindow::Close::NotResponding:
        text.text(SkippedNoAnswer);
        break;
    default:
        text.text("failed (error ").number(result.error).character(')');
        break;
    }
    logEvent(Event::Close, detail);
}

void closeStep() {
    using TargetWindow::Close;
    const TargetWindow::CloseResult result = TargetWindow::closeTarget(closeWaitMs());
    switch (result.outcome) {
    case Close::StillAsking:
        return;
    case Close::Answered:
    case Close::NoAnswer:
        break;
    case Close::NotResponding:
    case Close::Gone:
    case Close::Refused:
        logUnsentClose(result);
        return;
    }
    if (!excursion.closeLogged) {
        excursion.closeLogged = true;
        note(History::Close);
        logEvent(Event::Close, result.outcome == Close::NoAnswer ? "no answer" : "");
    }
}

void levelTwoActions(std::uint32_t secondMeasurement) {
    if (!excursion.levelTwoTaken) {
        excursion.levelTwoTaken = true;
        note(History::LevelTwo);
        lastTick.levelTwoFreeMb = secondMeasurement;
    }
    const bool arming = graceApplies() && excursion.shutdown == ShutdownStage::Idle;
    if (arming) {
        // From the close request itself: the beep and a slow key press are no grace spent.
        excursion.shutdown = ShutdownStage::Armed;
        excursion.armedMs = clockNowMs();
    }
    if (settings.CloseTarget != 0) {
        closeStep();
    }
    if (settings.ShutDownPC == 0) {
        return;
    }
    if (arming) {
        logEvent(Event::Shutdown, "armed");
        // Released at once only by a close that waited out the whole grace period.
        if (sinceArmedMs() < shutdownDelayMs()) {
            return;
        }
    } else if (!graceApplies() && excursion.shutdown == ShutdownStage::Idle) {
        requestShutdown();
        return;
    }
    followArmedShutdown(true);
}

void alarmTick(WindowHandle mainWindow, TimerId monitorTimer) {
    if (!alarmState.belowLevel1) {
        startExcursion();
    }
    alarmState.belowLevel1 = true;
    if (settings.frequency != 0) {
        beepTone(static_cast<std::uint32_t>(settings.frequency), BeepMs);
    }
    // The panel is refreshed before the key press and the level-2 steps, which may wait.
    requestRepaint(mainWindow);
    if (!alarmState.targetPresent) {
        // The recorder has finished and gone: an armed shutdown need not wait any longer.
        followArmedShutdown(false);
        return;
    }
    if (!alarmState.keyLatch && settings.key != 0) {
        pressKey("first");
    }
    alarmState.keyLatch = true;
    const FreeMegabytes again = FreeSpaceProbe(mainWindow, monitorTimer);
    if (!again.valid) {
        return;
    }
    if (isAboveLevel(again.megabytes, settings.level2)) {
        followArmedShutdown(true);
        return;
    }
    levelTwoActions(again.megabytes);
}

void lookUpTarget() {
    const bool present = TargetWindow::findTarget() != nullptr;
    targetChanged = present != alarmState.targetPresent;
    alarmState.targetPresent = present;
}

// A lock the target did not answer in time for is made once it answers.
void retryLock() {
    if (alarmState.targetPresent && TargetWindow::lockWaiting()) {
        logLock(TargetWindow::applyLock(TargetWindow::answerWaitMs()), LockSaid::WhenMade);
    }
}

// Written once the tick's first measurement is known, which the line carries; once.
void logTargetChange() {
    if (targetChanged) {
        targetChanged = false;
        logEvent(alarmState.targetPresent ? Event::TargetFound : Event::TargetLost);
    }
}

} // namespace

bool levelTwoTaken() {
    return excursion.levelTwoTaken;
}

std::uint64_t tickClockMs() {
    if (!lastTick.clockRead) {
        lastTick.nowMs = MonotonicClock::extend(tickCount());
        lastTick.clockRead = true;
    }
    return lastTick.nowMs;
}

void tick(WindowHandle mainWindow, TimerId monitorTimer) {
    lastTick.events = 0;
    lastTick.facts.roomFiles = lastTick.facts.roomMb = 0;
    lastTick.clockRead = false;
    lastTick.facts.forecast = FillForecast{};
    forecastReady = false;
    if (tunerAvailable) {
        TunerMeter::pollTuner();
    }
    lookUpTarget();
    FreeMegabytes free = FreeSpaceProbe(mainWindow, monitorTimer);
    if (!free.valid) {
        return;
    }
    lastTick.measured = true;
    lastTick.facts.freeMb = free.megabytes;
    lastTick.facts.targetPresent = alarmState.targetPresent;
    // Room is made before anything else the check does at level 1, and the check goes on with
    // what it measured last.
    if (!isAboveLevel(free.megabytes, settings.level1) && MakeRoom::on()) {
        logTargetChange();
        free = RoomMaking::run(mainWindow, monitorTimer, free);
        if (!free.valid) {
            return;
        }
    }
    if (estimateWanted()) {
        FillEstimate::followDrive(settings.DriveLetter);
        FillEstimate::addSample(tickClockMs(), free.megabytes);
    }
    logTargetChange();
    retryLock();
    if (isAboveLevel(free.megabytes, settings.level1)) {
        normalTick(mainWindow);
    } else {
        alarmTick(mainWindow, monitorTimer);
    }
    if ((lastTick.events & Transitions) != 0 && estimateWanted()) {
        tickForecast();
    }
}
