// The tick and the panel's paint as pure logic, over a stand-in platform: what the
// program itself adds to each tick, without any Win32 call's own cost.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/bench_platform.h"
#include "monitor/alarm_cycle.h"
#include "monitor/alarm_state.h"
#include "settings/settings.h"
#include "ui/status_panel.h"

namespace {

int window;
WindowHandle const MainWindow = &window;
constexpr std::uint32_t FreeMb = 50000;

// Normal: free space far above level 1 and no target. Alarm: every tick at or below
// level 1 with the target present and the second measurement above level 2, so each
// tick beeps and repaints but the key goes only once per excursion.
void configure(bool alarm) {
    benchplatform::start();
    std::memset(&settings, 0, sizeof settings);
    std::strcpy(settings.DriveLetter, "C:\\");
    std::strcpy(settings.ClassName, "ZvBenchTarget");
    std::strcpy(settings.WindowName, "NULL");
    settings.UpdateInterval = 1000;
    settings.frequency = 800;
    settings.key = 0x20;
    settings.level1 = alarm ? static_cast<std::int32_t>(FreeMb) : 500;
    settings.level2 = 100;
    alarmState = {};
    benchplatform::setDrive(FreeMb);
    benchplatform::setTargetPresent(alarm);
}

void finish(benchmark::State& state) {
    state.SetLabel(benchplatform::name());
    benchplatform::forgetCalls();
}

void NormalTick(benchmark::State& state) {
    configure(false);
    for (auto _ : state) {
        tick(MainWindow, 0);
        benchplatform::forgetCalls();
    }
    finish(state);
}

void AlarmTick(benchmark::State& state) {
    configure(true);
    for (auto _ : state) {
        tick(MainWindow, 0);
        benchplatform::forgetCalls();
    }
    finish(state);
}

void Paint(benchmark::State& state) {
    configure(false);
    for (auto _ : state) {
        StatusPanel::paint(MainWindow);
        benchplatform::forgetCalls();
    }
    finish(state);
}

void NormalTickAndPaint(benchmark::State& state) {
    configure(false);
    for (auto _ : state) {
        tick(MainWindow, 0);
        StatusPanel::paint(MainWindow);
        benchplatform::forgetCalls();
    }
    finish(state);
}

// Every tick crosses level 1, down or up, so every tick presses the key in the target:
// the busiest path short of the level-2 actions.
void ExcursionTickAndPaint(benchmark::State& state) {
    configure(true);
    bool below = false;
    for (auto _ : state) {
        below = !below;
        benchplatform::setDrive(below ? FreeMb : FreeMb + 1);
        tick(MainWindow, 0);
        StatusPanel::paint(MainWindow);
        benchplatform::forgetCalls();
    }
    finish(state);
}

} // namespace

BENCHMARK(NormalTick);
BENCHMARK(AlarmTick);
BENCHMARK(Paint);
BENCHMARK(NormalTickAndPaint);
BENCHMARK(ExcursionTickAndPaint);

BENCHMARK_MAIN();
