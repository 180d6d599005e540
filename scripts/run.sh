#!/bin/bash
# Starts the program under Wine.
#
#   scripts/run.sh [EXE]          default: build/win32/zembrovale.exe, or build/win64's
#                                 where this machine cannot run 32-bit programs
#
# With a usable display the program opens there and the script waits until it is closed.
# Without one it runs on a private Xvfb for a few seconds, a screenshot of its window is
# saved to build/run-screenshot.png, and the program is closed the way a user closes it
# (caption clicked, Alt+F4), which stores its position and ends it with code 0.
set -u
cd "$(dirname "$0")/.."

# shellcheck source=scripts/wine-loader.sh
. scripts/wine-loader.sh
zv_wine_loader || exit 1
if [ $# -ge 1 ]; then
    exe=$1
else
    exe=$(zv_runnable_build build/win32 run)/zembrovale.exe
fi
screenshot=build/run-screenshot.png
title="Zembrovale 0.7"
if [ ! -f "$exe" ]; then
    echo "run: $exe does not exist (run make build)" >&2
    exit 1
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # A desktop with a window manager: its own prefix, without the headless tweaks.
    export WINEPREFIX=${ZV_RUN_PREFIX:-$PWD/build/wine-desktop}
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    exec wine "$exe"
fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh || exit 1

wine "$exe" </dev/null >/dev/null 2>&1 &
program=$!

# The first window titled so; Wine also makes hidden helper windows, so only a visible one.
find_window() {
    xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1
}

window=""
for _ in $(seq 50); do
    window=$(find_window)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "run: no window titled \"$title\" appeared" >&2
    kill "$program" 2>/dev/null
    exit 1
fi

# Let it run: a few monitoring ticks repaint the panel.
sleep 5
# Crop the screen rather than grab the window: an always-on-top window may lie partly
# over the tray window, and the crop shows exactly what a person would see there.
eval "$(xdotool getwindowgeometry --shell "$window")"
/usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
echo "$screenshot"

# Close as a user does: activate by a click on the caption, then Alt+F4.
xdotool mousemove $((X + 60)) $((Y + 8)) click 1
sleep 0.3
xdotool key alt+F4
status=""
for _ in $(seq 50); do
    if ! kill -0 "$program" 2>/dev/null; then
        wait "$program"
        status=$?
        break
    fi
    sleep 0.1
done
if [ -z "$status" ]; then
    echo "run: the program did not close; stopping Wine" >&2
    status=1
else
    echo "run: the program ended with code $status"
fi
zv_wine_stop
exit "$status"
