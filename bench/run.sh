#!/usr/bin/env bash
# Runs every benchmark and writes bench/RESULTS.md. `make bench` calls it after building
# both executables; see bench/RESULTS.md for what each figure means.
#
# Environment (all optional):
#   BENCH_IDLE_SECONDS   how long the idle program is watched (default 60)
#   BENCH_BUILD32/64     the Windows build folders (default build/win32, build/win64)
#   BENCH_HOST_BUILD     the host build folder for the micro-benchmarks (default build/bench-host)
#   BENCH_RESULTS        where the report goes (default bench/RESULTS.md)
#   ZV_WINE_DIR          the Wine setup (default build/bench-wine: a prefix of its own, so
#                        a benchmark never shares a wineserver with a test run)
#
# Under Wine the 32-bit build is measured, and the 64-bit one's tick beside it. Where this
# machine cannot run 32-bit programs (scripts/wine-loader.sh) the 64-bit build takes its place,
# and the report says so.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

IDLE_SECONDS=${BENCH_IDLE_SECONDS:-60}
BUILD32=${BENCH_BUILD32:-build/win32}
BUILD64=${BENCH_BUILD64:-build/win64}
HOST_BUILD=${BENCH_HOST_BUILD:-build/bench-host}
RESULTS=${BENCH_RESULTS:-bench/RESULTS.md}
RUN_DIR=$ROOT/build/bench-run
LOG_DIR=$ROOT/build/bench-logs
export ZV_WINE_DIR=${ZV_WINE_DIR:-$ROOT/build/bench-wine}

# Ticks per round and rounds of the tick benchmark; start-up runs of each program.
TICKS=${BENCH_TICKS:-50}
ROUNDS=${BENCH_ROUNDS:-81}
STARTUP_RUNS=${BENCH_STARTUP_RUNS:-21}
IDLE_INTERVAL_MS=1000

began=$(date +%s)
log() { echo "bench: [$(($(date +%s) - began)) s] $*" >&2; }
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
mkdir -p "$RUN_DIR" "$LOG_DIR"

# --- build ------------------------------------------------------------------------------
log "building the benchmark programs"
for build in "$BUILD32" "$BUILD64"; do
    cmake --build "$build" --target bench_programs -j "$(nproc)" >"$LOG_DIR/build.log" 2>&1 ||
        { cat "$LOG_DIR/build.log" >&2; exit 1; }
done
cmake -S . -B "$HOST_BUILD" -DCMAKE_BUILD_TYPE=Release -Wno-dev >"$LOG_DIR/host-cmake.log" 2>&1 ||
    { cat "$LOG_DIR/host-cmake.log" >&2; exit 1; }
cmake --build "$HOST_BUILD" --target bench_programs -j "$(nproc)" >"$LOG_DIR/build.log" 2>&1 ||
    { cat "$LOG_DIR/build.log" >&2; exit 1; }

# --- 1. size ----------------------------------------------------------------------------
SIZE_GOAL=65536
SYSTEM_DLLS=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll uxtheme.dll "
size_rows=""
section_rows=""
declare -A size_bytes size_verdict
for arch in win32 win64; do
    if [ "$arch" = win32 ]; then exe=$BUILD32/zembrovale.exe; objdump=i686-w64-mingw32-objdump
    else exe=$BUILD64/zembrovale.exe; objdump=x86_64-w64-mingw32-objdump; fi
    bytes=$(stat -c %s "$exe")
    dlls=$($objdump -p "$exe" | awk '/DLL Name:/ {print $3}' | tr '\n' ' ')
    symbols=$($objdump -t "$exe" | grep -c '^\[' || true)
    foreign=""
    for dll in $dlls; do
        lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
        case "$SYSTEM_DLLS" in *" $lower "*) ;; *) foreign="$foreign $dll" ;; esac
    done
    verdict=pass
    if [ "$bytes" -gt "$SIZE_GOAL" ] || [ -n "$foreign" ]; then verdict=FAIL; fi
    stripped=yes
    [ "$symbols" -eq 0 ] || stripped="no ($symbols symbols)"
    kib=$(awk -v b="$bytes" 'BEGIN {printf "%.1f", b / 1024}')
    size_rows+="| \`$exe\` | $bytes ($kib KiB) | $stripped | ${dlls% } | ${foreign:-none} | $verdict |"$'\n'
    size_bytes[$arch]=$bytes
    size_verdict[$arch]=$verdict
    # Where the bytes are: raw size of each section in the file.
    sections=$($objdump -h "$exe" | while read -r index name hex _; do
        case "$index" in '' | *[!0-9]*) continue ;; esac
        printf '%s %d, ' "$name" "$((16#$hex))"
    done)
    section_rows+="| $arch | ${sections%, } |"$'\n'
done

# --- 5. host micro-benchmarks -----------------------------------------------------------
log "host micro-benchmarks"
host_rows=""
for fake in quiet recording; do
    "$HOST_BUILD/bench/tick_logic_bench_$fake" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_min_time=0.1 \
        --benchmark_format=csv >"$LOG_DIR/host-$fake.csv" 2>"$LOG_DIR/host-$fake.err"
    host_rows+=$(awk -F, -v fake="$fake" '
        $1 ~ /_median"?$/ {
            name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
            printf "| %s | %s | %.1f | %.1f |\n", name, fake, $3, $4
        }' "$LOG_DIR/host-$fake.csv")$'\n'
done

# --- Wine -------------------------------------------------------------------------------
log "starting Wine (prefix in $ZV_WINE_DIR)"
# shellcheck source=scripts/wine-env.sh disable=SC1091
. scripts/wine-env.sh

winpath() { echo "Z:${1//\//\\}"; }

# The build that runs under Wine for the start-up and idle figures, and the builds whose tick
# is measured.
PRIMARY=win32
PRIMARY_BUILD=$BUILD32
WINE_ARCHS="win32 win64"
if [ "$ZV_WINE_32BIT" = 0 ]; then
    PRIMARY=win64
    PRIMARY_BUILD=$BUILD64
    WINE_ARCHS="win64"
    log "using the 64-bit build under Wine: $ZV_WINE_32BIT_WHY"
fi
BITS=${PRIMARY#win}-bit

# Copies of the product beside their own settings files: the runs below must not touch
# the INI of the build folders, and the program writes its position back on exit. The second
# copy ticks once an hour, so over the idle window it shows what runs between ticks.
QUIET_DIR=$RUN_DIR/hourly
QUIET_INTERVAL_MS=3600000
mkdir -p "$QUIET_DIR"
cp "$PRIMARY_BUILD/zembrovale.exe" "$PRIMARY_BUILD/bench/minimal_window.exe" "$RUN_DIR/"
cp "$PRIMARY_BUILD/zembrovale.exe" "$QUIET_DIR/"
write_ini() { # interval x
    printf '[Options]\r\nlevel1=00000000\r\nlevel2=00000000\r\nClassName=ZvBenchNoSuchTarget\r\n'
    printf 'WindowName=NULL\r\nx=%08d\r\ny=00000300\r\nfrequency=00000000\r\nkey=00000000\r\n' "$2"
    printf 'DriveLetter=C:\\\r\nCloseTarget=00000000\r\nShutDownPC=00000000\r\n'
    printf 'UpdateInterval=%08d\r\nHideTarget=00000000\r\n' "$1"
}
write_ini "$IDLE_INTERVAL_MS" 300 >"$RUN_DIR/zembrovale.ini"
write_ini "$QUIET_INTERVAL_MS" 600 >"$QUIET_DIR/zembrovale.ini"

# --- 2. tick cost -----------------------------------------------------------------------
tick_rows=""
for arch in $WINE_ARCHS; do
    if [ "$arch" = win32 ]; then build=$BUILD32; else build=$BUILD64; fi
    log "tick benchmark ($arch)"
    timeout 300 wine "$build/bench/tick_bench.exe" "$TICKS" "$ROUNDS" \
        >"$LOG_DIR/tick-$arch.txt" 2>"$LOG_DIR/tick-$arch.err" || {
        cat "$LOG_DIR/tick-$arch.txt" "$LOG_DIR/tick-$arch.err" >&2
        exit 1
    }
    tick_rows+=$(awk -v arch="$arch" '
        /^result / {
            for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
            verdict = v["pair_ratio_median"] <= 1.2 ? "pass" : "FAIL"
            printf "| %s | %s | %s | %s | %s | **%s** | %s |\n", arch, v["case"], v["product_us"],
                v["floor_us"], v["ratio"], v["pair_ratio_median"], verdict
        }' "$LOG_DIR/tick-$arch.txt")$'\n'
done
field() { awk -v c="$2" -v k="$3" '$1 == "result" && $0 ~ "case=" c " " {
    for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }' "$1"; }
if [ "$WINE_ARCHS" = win64 ]; then
    tick_rows+="| win32 | - | - | - | - | - | not run: $ZV_WINE_32BIT_WHY |"$'\n'
fi
TICKS_OF_PRIMARY=$LOG_DIR/tick-$PRIMARY.txt
tick_us=$(field "$TICKS_OF_PRIMARY" normal product_us)
tick_ratio=$(field "$TICKS_OF_PRIMARY" normal pair_ratio_median)
optin_us=$(field "$TICKS_OF_PRIMARY" normal_opt_in product_us)
optin_ratio=$(field "$TICKS_OF_PRIMARY" normal_opt_in pair_ratio_median)
closed_us=$(field "$TICKS_OF_PRIMARY" normal_chart_closed product_us)
closed_ratio=$(field "$TICKS_OF_PRIMARY" normal_chart_closed pair_ratio_median)
open_us=$(field "$TICKS_OF_PRIMARY" normal_chart_open product_us)
open_ratio=$(field "$TICKS_OF_PRIMARY" normal_chart_open pair_ratio_median)
watched_us=$(field "$TICKS_OF_PRIMARY" normal_watched product_us)
watched_ratio=$(field "$TICKS_OF_PRIMARY" normal_watched pair_ratio_median)
room_us=$(field "$TICKS_OF_PRIMARY" normal_make_room product_us)
room_ratio=$(field "$TICKS_OF_PRIMARY" normal_make_room pair_ratio_median)
# Against the opt-in row through the floor every case shares, which the machine's drift
# between the cases does not move.
against_optin() { awk -v a="$1" -v b="$optin_ratio" 'BEGIN {printf "%+.1f %%", (a / b - 1) * 100}'; }
within_2pct() { awk -v a="$1" -v b="$optin_ratio" 'BEGIN {print (a <= b * 1.02) ? "pass" : "FAIL"}'; }

# --- 2b. a check that makes room -------------------------------------------------------
log "making-room benchmark ($PRIMARY)"
timeout 600 wine "$PRIMARY_BUILD/bench/room_bench.exe" 15 \
    >"$LOG_DIR/room.txt" 2>"$LOG_DIR/room.err" || {
    cat "$LOG_DIR/room.txt" "$LOG_DIR/room.err" >&2
    exit 1
}
room_rows=$(awk '/^result / {
    for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
    printf "| %s | %s | %s | %s | %s |\n", v["files"], v["checks"], v["check_ms"], v["min_ms"],
        v["max_ms"] }' "$LOG_DIR/room.txt")

# --- 4. start-up to first paint ---------------------------------------------------------
log "start-up benchmark ($STARTUP_RUNS runs each)"
timeout 300 wine "$PRIMARY_BUILD/bench/startup_bench.exe" runs "$STARTUP_RUNS" \
    "$(winpath "$RUN_DIR/zembrovale.exe")" "$(winpath "$RUN_DIR/minimal_window.exe")" \
    >"$LOG_DIR/startup.txt" 2>"$LOG_DIR/startup.err" || {
    cat "$LOG_DIR/startup.txt" "$LOG_DIR/startup.err" >&2
    exit 1
}
startup_product=$(field "$LOG_DIR/startup.txt" startup product_paint_ms)
startup_minimal=$(field "$LOG_DIR/startup.txt" startup minimal_paint_ms)
startup_product_window=$(field "$LOG_DIR/startup.txt" startup product_window_ms)
startup_minimal_window=$(field "$LOG_DIR/startup.txt" startup minimal_window_ms)
startup_ratio=$(field "$LOG_DIR/startup.txt" startup pair_ratio_median)
startup_ratio_of_medians=$(field "$LOG_DIR/startup.txt" startup ratio)

# --- 3. idle cost -----------------------------------------------------------------------
# The Linux process that runs a Windows program carries the program's path as its
# command line and its file name (cut to 15 characters) as its name.
find_pid() { # name path
    local p
    for p in /proc/[0-9]*; do
        if [ "$(cat "$p/comm" 2>/dev/null)" = "$1" ] &&
            tr '\0' '\n' <"$p/cmdline" 2>/dev/null | grep -qxF "$2"; then
            basename "$p"
            return
        fi
    done 2>/dev/null
}
prefix_pid() {
    local p
    for p in /proc/[0-9]*; do
        if [ "$(cat "$p/comm" 2>/dev/null)" = "$1" ] &&
            tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            basename "$p"
            return
        fi
    done 2>/dev/null
}
# utime+stime in clock ticks (/proc/PID/stat, the whole process), run time in ns summed
# over its threads (schedstat: far finer than clock ticks), and voluntary context
# switches summed over its threads (each is one sleep ended, i.e. one wake-up).
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f", s}'; }
wakeups() {
    cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s + 0}'
}

log "idle benchmark (${IDLE_SECONDS} s)"
wine "$RUN_DIR/zembrovale.exe" </dev/null >/dev/null 2>&1 &
product_wine=$!
wine "$QUIET_DIR/zembrovale.exe" </dev/null >/dev/null 2>&1 &
hourly_wine=$!
wine "$RUN_DIR/minimal_window.exe" </dev/null >/dev/null 2>&1 &
minimal_wine=$!
product_pid=""
hourly_pid=""
minimal_pid=""
for _ in $(seq 100); do
    product_pid=${product_pid:-$(find_pid zembrovale.exe "$RUN_DIR/zembrovale.exe")}
    hourly_pid=${hourly_pid:-$(find_pid zembrovale.exe "$QUIET_DIR/zembrovale.exe")}
    minimal_pid=${minimal_pid:-$(find_pid minimal_window. "$RUN_DIR/minimal_window.exe")}
    [ -n "$product_pid" ] && [ -n "$hourly_pid" ] && [ -n "$minimal_pid" ] && break
    sleep 0.1
done
server_pid=$(prefix_pid wineserver64)
[ -n "$server_pid" ] || server_pid=$(prefix_pid wineserver)
if [ -z "$product_pid" ] || [ -z "$hourly_pid" ] || [ -z "$minimal_pid" ] || [ -z "$server_pid" ]; then
    log "cannot find the idle processes (product '$product_pid', hourly '$hourly_pid'," \
        "minimal '$minimal_pid', server '$server_pid')"
    exit 1
fi
# Past start-up and the first paint.
sleep 3
IDLE_PROCESSES="product hourly minimal server xvfb"
snapshot() {
    local pid
    for pid in "$product_pid" "$hourly_pid" "$minimal_pid" "$server_pid" "$ZV_XVFB_PID"; do
        echo "$(cpu_ticks "$pid") $(cpu_ns "$pid") $(wakeups "$pid")"
    done
    date +%s.%N
}
snapshot >"$LOG_DIR/idle-start.txt"
sleep "$IDLE_SECONDS"
snapshot >"$LOG_DIR/idle-end.txt"
for class in ZEMBROVALE ZvMinimalWindow; do
    timeout 60 wine "$PRIMARY_BUILD/bench/startup_bench.exe" close "$class" >>"$LOG_DIR/idle-close.txt" 2>&1 ||
        log "could not close $class"
done
wait "$product_wine" "$hourly_wine" "$minimal_wine" || true

hz=$(getconf CLK_TCK)
# One line per process in the order of IDLE_PROCESSES, then the time.
idle=$(paste -d' ' "$LOG_DIR/idle-start.txt" "$LOG_DIR/idle-end.txt" | awk -v hz="$hz" \
    -v interval="$IDLE_INTERVAL_MS" -v names="$IDLE_PROCESSES" '
    BEGIN { count = split(names, name, " ") }
    NR <= count { t[NR] = ($4 - $1) * 1000 / hz; n[NR] = ($5 - $2) / 1e6; w[NR] = $6 - $3 }
    NR == count + 1 { secs = $2 - $1 }
    END {
        ticks = secs * 1000 / interval
        printf "secs=%.1f ticks=%.0f", secs, ticks
        for (i = 1; i <= count; i++)
            printf " %s_stat_ms=%.0f %s_ms=%.2f %s_per_tick_us=%.0f %s_wakeups=%d %s_wakeups_per_tick=%.1f", \
                name[i], t[i], name[i], n[i], name[i], n[i] * 1000 / ticks, name[i], w[i], \
                name[i], w[i] / ticks
        printf "\n"
    }')
echo "$idle" >"$LOG_DIR/idle.txt"
iv() { echo "$idle" | tr ' ' '\n' | awk -F= -v k="$1" '$1 == k {print $2}'; }

zv_wine_stop

# --- report -----------------------------------------------------------------------------
cpu_model=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
mem=$(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)
elapsed=$(($(date +%s) - began))
verdict() { awk -v a="$1" -v b="$2" 'BEGIN {print (a <= b) ? "pass" : "FAIL"}'; }
idle_per_tick=$(iv product_per_tick_us)
# Work between ticks is whatever the hourly copy, which never ticks in the window, does:
# it must all but sleep (at most one wake-up and 1 ms of CPU per 10 s).
idle_verdict=$(awk -v hw="$(iv hourly_wakeups)" -v hc="$(iv hourly_ms)" -v s="$(iv secs)" \
    'BEGIN {print (hw <= s / 10 && hc <= s / 10) ? "pass" : "FAIL"}')

tmp=$(mktemp)
cat >"$tmp" <<EOF
# Benchmark results

Written by \`make bench\` (\`bench/run.sh\`) from a real run; every figure below comes from
that run. Logs of the run: \`build/bench-logs/\`.

## Machine

| | |
|---|---|
| date | $(date -u '+%Y-%m-%d %H:%M UTC') |
| CPU | $cpu_model |
| cores | $(nproc) |
| memory | $mem |
| load average at start and end (1, 5, 15 min) | $load_at_start; $(cut -d' ' -f1-3 /proc/loadavg) |
| kernel | $(uname -r) |
| Wine | $(wine --version) |
| cross compilers | $(i686-w64-mingw32-g++-posix --version | head -n 1), $(x86_64-w64-mingw32-g++-posix --version | head -n 1) |
| host compiler | $(g++ --version | head -n 1) |
| display | Xvfb, 1280x1024x24, no window manager |

## Summary

| Figure | Measured | Goal | Verdict |
|---|---|---|---|
| size, 32-bit executable | ${size_bytes[win32]} bytes | at most 65536 bytes, system DLLs only | ${size_verdict[win32]} |
| size, 64-bit executable | ${size_bytes[win64]} bytes | at most 65536 bytes, system DLLs only | ${size_verdict[win64]} |
| one normal tick with its repaint ($BITS) | $tick_us µs, ${tick_ratio}x the bare platform calls | at most 1.2x | $(verdict "$tick_ratio" 1.2) |
| the same with every opt-in key set, no event ($BITS) | $optin_us µs, ${optin_ratio}x the bare platform calls | within noise of the row above | - |
| the same with \`StateIcon\` and \`ShowHistory\`, the chart closed ($BITS) | $closed_us µs, ${closed_ratio}x the bare platform calls, $(against_optin "$closed_ratio") against the row above | within 2 % of it | $(within_2pct "$closed_ratio") |
| the same with the chart open ($BITS) | $open_us µs, ${open_ratio}x the bare platform calls, $(against_optin "$open_ratio") against the opt-in row | within 2 % of it | $(within_2pct "$open_ratio") |
| the opt-in tick with \`MakeRoom\` set, free space above level 1 ($BITS) | $room_us µs, ${room_ratio}x the bare platform calls, $(against_optin "$room_ratio") against the opt-in row | within 2 % of it | $(within_2pct "$room_ratio") |
| the opt-in tick with \`EventLog\` and \`MetricsFile\` set, no event ($BITS) | $watched_us µs, ${watched_ratio}x the bare platform calls, $(against_optin "$watched_ratio") against the opt-in row | within 2 % of it | $(within_2pct "$watched_ratio") |
| one check that makes room, 1,000 recordings ($BITS) | $(field "$LOG_DIR/room.txt" room_1000 check_ms) ms | none set | - |
| one check that makes room, 10,000 recordings ($BITS) | $(field "$LOG_DIR/room.txt" room_10000 check_ms) ms | none set | - |
| idle cost ($BITS) | between ticks: $(iv hourly_ms) ms CPU and $(iv hourly_wakeups) wake-ups in $(iv secs) s; each tick (${IDLE_INTERVAL_MS} ms interval): $idle_per_tick µs CPU, $(iv product_wakeups_per_tick) wake-ups | no work between ticks | $idle_verdict |
| start-up to first paint ($BITS) | $startup_product ms, ${startup_ratio}x a minimal window's $startup_minimal ms | none set | - |

## 1. Size

Stripped executables as \`make build\` leaves them; imports as \`objdump -p\` lists them.

| Executable | Bytes | Stripped | Imported DLLs | Non-system DLLs | Verdict |
|---|---|---|---|---|---|
$size_rows
Section sizes in bytes (\`objdump -h\`; \`.bss\` takes no room in the file, \`.rsrc\` holds the
icon, dialogs and manifest):

| Build | Sections |
|---|---|
$section_rows
## 2. One tick with its repaint, against its floor

\`bench/tick_bench.cpp\` links the product's own code (\`zembrovale_core\`) and opens a real
250x145 window whose \`WM_PAINT\` runs \`StatusPanel::paint\`. The settings point at drive C:\\ of
the Wine prefix. A tick is the main window's whole \`WM_TIMER\` handling, \`Frame::onTimer(hwnd)\`
(the tick, then what it tells others), followed by \`UpdateWindow(hwnd)\`, so the paint runs
at once. The floor is the same window and loop doing only the platform calls such a tick and
paint must make: \`FindWindowA\`, \`GetDiskFreeSpaceA\`, \`GetClientRect\` + \`InvalidateRect\`, then
in the paint \`BeginPaint\`, \`GetClientRect\`, the same \`SetTextColor\`/\`SetBkColor\` calls, ten
\`DrawTextA\` of the same texts, three \`wsprintfA\`, one \`GetDiskFreeSpaceA\` and \`EndPaint\`.
Product and floor alternate in $ROUNDS rounds of $TICKS ticks each (which goes first alternates
too); the table gives the median time per tick of each, the ratio of those medians, and
the median of the per-round ratios (product round over the floor round next to it in time),
which is the figure held against the goal: on a shared machine the cost of a Wine server
round trip changes several-fold with the load, and only neighbouring rounds see the same
load. Times come from \`QueryPerformanceCounter\`.

- **normal**: free space above level 1, no target window: the everyday tick.
- **alarm**: every tick at or below level 1 with a real target window present (a second
  top-level window of the benchmark), so the free space is measured twice per tick and the
  number is drawn red. The second measurement stays above level 2, so no level-2 action runs.
  No beep (\`frequency\` 0: under Wine \`Beep\` returns at once, on Windows it blocks 256 ms by
  design) and no key (\`key\` 0: it is pressed once per excursion, not per tick).
- **normal_chart_closed**, **normal_chart_open**: as normal_opt_in, with \`StateIcon\` and
  \`ShowHistory\` set as well (the notification icon and its marked states are made at the
  start, for every case),
  the History chart's window closed, or open and shown: each tick keeps its minute's sample,
  and redraws the chart only when it has something new, which a tick without an event has
  not.
- **normal_make_room**: as normal_opt_in, with \`MakeRoom\` set on a folder of the drive: a
  tick above level 1 reads no folder.
- **normal_watched**: as normal_opt_in, with \`EventLog\` and \`MetricsFile\` set as well. The
  events fall in the warm-up round; the timed ticks read the clock and write no file (the
  metrics file is written every 15 s without an event, and no round lasts that long).
- **\*_opt_in**: as normal and alarm, with every opt-in key set (\`LogFile\`, \`DryRun\`,
  \`ShutdownDelay\`, \`OnAlarm\`, \`OnLevel2\`, \`OnRecover\`, \`ShowEstimate\`, \`ShowBalloons\`).
  Their events (target found, alarm, its command) fall in the warm-up round, so the timed
  ticks have no event: they read the clock and keep a fill-estimate sample, and touch no file.
- **\*_idle_flush**: each tick is also followed by an empty \`PeekMessageA\`, as the message
  loop's return to \`GetMessageA\` would be. That is where Wine hands the painted window surface
  to the X server, so these rows include getting the pixels on screen.

| Build | Case | Product µs/tick | Floor µs/tick | Ratio of medians | Median of round ratios | At most 1.2 |
|---|---|---|---|---|---|---|
$tick_rows
### Making room

\`bench/room_bench.cpp\` links the product's own code and makes room in a folder of drive C:\
of the Wine prefix that holds 1,000 and then 10,000 recordings, all old enough to go. Each
check is one \`RoomMaking::run\` at or below level 1, ten files short of \`MakeRoomTo\`: it
reads the whole folder, keeps the oldest, then deletes ten of them, measuring free space after
each. The ten are made again, untimed, before the next check. The median of 15 checks ($BITS):

| Recordings | Checks | Median ms per check | Fastest ms | Slowest ms |
|---|---|---|---|---|
$room_rows

## 3. Idle cost

The real $BITS program runs under Wine for $(iv secs) s after a 3 s settling time, as two
copies of \`$PRIMARY_BUILD/zembrovale.exe\`, each beside its own INI file (drive C:\\, levels 0, no
target): one with \`UpdateInterval\` ${IDLE_INTERVAL_MS}, which ticks $(iv ticks) times in the window,
and one with \`UpdateInterval\` ${QUIET_INTERVAL_MS} (an hour), which never ticks in it, so
whatever it does is work between ticks. Beside them runs the minimal window program (no
timer) as the baseline of an idle Wine program. CPU time is read from Linux's
\`/proc/<pid>/stat\` (utime+stime, in clock ticks of $((1000 / hz)) ms) of the process running
each program, found by its command line, at the start and the end. A tick costs far less
than a clock tick, so the run time in nanoseconds summed over the threads
(\`/proc/<pid>/task/*/schedstat\`) is given as well; wake-ups are the voluntary context
switches of all threads (each Wine server request that waits for its answer is one). Per-tick
columns divide by the $(iv ticks) ticks of the ticking copy.

| Process | CPU, stat (ms) | CPU, schedstat (ms) | Per tick (µs) | Wake-ups | Wake-ups per tick |
|---|---|---|---|---|---|
| zembrovale.exe, ${IDLE_INTERVAL_MS} ms interval | $(iv product_stat_ms) | $(iv product_ms) | $(iv product_per_tick_us) | $(iv product_wakeups) | $(iv product_wakeups_per_tick) |
| zembrovale.exe, ${QUIET_INTERVAL_MS} ms interval | $(iv hourly_stat_ms) | $(iv hourly_ms) | $(iv hourly_per_tick_us) | $(iv hourly_wakeups) | $(iv hourly_wakeups_per_tick) |
| minimal window (no timer) | $(iv minimal_stat_ms) | $(iv minimal_ms) | $(iv minimal_per_tick_us) | $(iv minimal_wakeups) | $(iv minimal_wakeups_per_tick) |
| wineserver (all of the above and Wine's services) | $(iv server_stat_ms) | $(iv server_ms) | $(iv server_per_tick_us) | $(iv server_wakeups) | $(iv server_wakeups_per_tick) |
| Xvfb | $(iv xvfb_stat_ms) | $(iv xvfb_ms) | $(iv xvfb_per_tick_us) | $(iv xvfb_wakeups) | $(iv xvfb_wakeups_per_tick) |

Reading: the hourly copy shows what the program does between ticks; the verdict is a pass
when it used at most one wake-up and 1 ms of CPU per 10 s. The ticking copy's CPU per tick is
the whole tick as the message loop runs it (timer message, tick, repaint, handing the pixels
to X); for scale, one tick with its repaint took $tick_us µs of wall time (program and
wineserver together) in section 2 of this run.

## 4. Start-up to first paint

\`bench/startup_bench.cpp\`, itself a Windows program, starts each program with \`CreateProcessA\`
and polls every millisecond until its window exists (\`FindWindowA\` by class) and then until
the screen (\`BitBlt\` from the screen DC) shows exact green RGB(0,255,0) in the 80x16 cell at
160,10 of the window's client area: the free-space digits of the panel, the filled client area
of \`bench/minimal_window.cpp\` (which registers a class, opens a 250x145 window of the same
style at the same place and fills it green in \`WM_PAINT\`). Then it closes the program and waits
for its end. $STARTUP_RUNS starts of each, alternating (product first, then minimal first);
medians, and the median of the ratio within each pair of neighbouring starts.

| Program | Window exists (ms) | First paint on screen (ms) |
|---|---|---|
| zembrovale.exe ($BITS) | $startup_product_window | $startup_product |
| minimal window ($BITS) | $startup_minimal_window | $startup_minimal |
| ratio of the medians | | $startup_ratio_of_medians |
| median of the per-pair ratios | | **$startup_ratio** |

## 5. Host micro-benchmarks (pure logic)

\`bench/tick_logic_bench.cpp\` (Google Benchmark) runs the portable tick and paint logic on
the host over a stand-in platform. Figures are the medians of 5 repetitions, in ns per
iteration. The **quiet** stand-in (\`bench/quiet_platform.cpp\`) records nothing; these are
the figures to read as the logic's cost. The **recording** rows use the unit tests' fakes
(\`tests/unit/fake_*.cpp\`), which build a string per call: their cost is the bookkeeping,
shown only for comparison. NormalTick: no target, free space above level 1. AlarmTick: at
level 1, target present. Paint: one \`StatusPanel::paint\`. ExcursionTickAndPaint: free
space crosses level 1 every tick, so every tick presses the key.

| Benchmark | Platform | Wall ns | CPU ns |
|---|---|---|---|
$host_rows
## Notes

- The machine has $(nproc) cores and may be shared; the load averages above show how busy it
  was. Absolute times under Wine move with that load (in this run the rounds of the $BITS
  normal tick took from $(field "$TICKS_OF_PRIMARY" normal product_min_us) to $(field "$TICKS_OF_PRIMARY" normal product_max_us) µs per tick); the ratios, taken
  between neighbouring rounds, hold.
- The whole run took ${elapsed} s.
EOF
mv "$tmp" "$RESULTS"
log "wrote $RESULTS in ${elapsed} s"
