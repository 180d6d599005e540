#!/bin/bash
# Takes the user guide's pictures from the real program under Wine and Xvfb and writes them
# to docs/:
#
#   scripts/screenshots.sh [BUILD_DIR]      default: build/win32, or build/win64 where this
#                                           machine cannot run 32-bit programs
#
#   panel-normal.png     the status panel with plenty of free space
#   panel-alarm.png      the status panel with free space below critical level 1
#   tray-menu.png        the command menu opened from the notification-area icon
#   options-dialog.png   the Options dialog
#   window-picker.png    the window picker pointing at the recording program
#   balloon-alarm.png    the balloon at the alarm, beside the notification area
#   icon-normal.png, icon-level1.png, icon-level2.png
#                        the notification-area icon with StateIcon=1, plain and marked for
#                        level 1 and level 2 (three times its size)
#   history-chart.png    the History chart after a night in five minutes: a rehearsal in which
#                        the drive fills, the alarm comes, level 2 closes the recorder and the
#                        drive is freed again
#
# The recording program is played by the Wine tests' target window, the tuner by their
# scripted tuner library; neither is part of a package. Free space comes from the tmpfs
# drive D: of scripts/wine-env.sh (ZV_WINE_DIR chooses its folder).
set -u
cd "$(dirname "$0")/.." || exit 1

# shellcheck source=scripts/wine-loader.sh
. scripts/wine-loader.sh
zv_wine_loader || exit 1
build=${1:-$(zv_runnable_build build/win32 screenshots)}
exe=$build/zembrovale.exe
target=$build/tests/wine/test_target.exe
tuner=$build/tests/wine/tuner_standin/full/SkyDll.dll
for file in "$exe" "$target" "$tuner"; do
    if [ ! -f "$file" ]; then
        echo "screenshots: $file does not exist (run make build)" >&2
        exit 1
    fi
done

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh || exit 1

work=$ZV_WINE_DIR/screenshots
app=$work/app
rm -rf "$work"
mkdir -p "$app"
fail() {
    echo "screenshots: $*" >&2
    exit 1
}

# A small Windows helper posts menu commands, as the menu itself would; built for the same
# word size as the program, which is the one Wine runs here.
post=$work/post_command.exe
compiler=x86_64-w64-mingw32-g++-posix
[ "$(zv_build_bits "$build")" = 32 ] && compiler=i686-w64-mingw32-g++-posix
"$compiler" -Wall -Wextra -Werror -Os -s -static -o "$post" \
    scripts/post_command.cpp || fail "the helper did not compile"
post() { wine "$post" "$@" </dev/null >/dev/null 2>&1 || fail "could not post $* "; }

# A set-up as the guide describes it: the recording program's window found by its class,
# R pressed at level 1, the recorder closed at level 2, no shutdown.
cp "$exe" "$app/zembrovale.exe"
cp "$tuner" "$app/SkyDll.dll"
# shellcheck disable=SC1003 # a single backslash, not an escaped quote
printf '%s\r\n' '[Options]' level1=00000500 level2=00000100 ClassName=RecorderMainWnd \
    WindowName=NULL x=00000300 y=00000060 frequency=00000800 key=00000082 'DriveLetter=D:\' \
    CloseTarget=00000001 ShutDownPC=00000000 UpdateInterval=00001000 HideTarget=00000000 \
    ShowBalloons=1 >"$app/zembrovale.ini"
tuner_level() { printf 'Level=%s\r\n' "$1" >"$app/SkyDll.cfg"; }

# find_window TITLE: the visible X window of that exact title.
find_window() {
    local window="" _
    for _ in $(seq 50); do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    echo "$window"
}

# shoot WINDOW NAME: crops the screen to the window. The screen, not the window, so that
# whatever lies over it shows as a person would see it.
shoot() {
    local WIDTH HEIGHT X Y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    /usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip "docs/$2"
    echo "docs/$2"
}

# Plenty of free space first: 2048 MB against levels of 500 and 100.
zv_drive_size 2048m
tuner_level 72
wine "$target" --class RecorderMainWnd --title "Untitled - Recorder" --rect 620 300 480 320 \
    --lifetime 120000 </dev/null >/dev/null 2>&1 &
[ -n "$(find_window "Untitled - Recorder")" ] || fail "the recorder window did not appear"
wine "$app/zembrovale.exe" </dev/null >/dev/null 2>&1 &
program=$!
panel=$(find_window "Zembrovale 0.7")
[ -n "$panel" ] || fail "the program's window did not appear"
# Two ticks: the target is found and the tuner polled.
sleep 2.5
shoot "$panel" panel-normal.png

# The menu opens from a right click on the icon, the first one in the tray window.
tray=$(find_window "Wine System Tray")
[ -n "$tray" ] || fail "no notification area"
eval "$(xdotool getwindowgeometry --shell "$tray")"
trayX=$X trayY=$Y trayWidth=$WIDTH trayHeight=$HEIGHT
/usr/bin/import -window root "$work/before-menu.png"
xdotool mousemove $((trayX + 12)) $((trayY + trayHeight - 12)) click 3
sleep 0.5
# The menu opens over the tray window, which the click may raise after it: lift every window
# of the program except the panel, which leaves the menu on top as on a desktop.
for window in $(xdotool search --onlyvisible --class zembrovale.exe 2>/dev/null); do
    [ "$window" != "$panel" ] && xdotool windowraise "$window"
done
sleep 0.5
/usr/bin/import -window root "$work/menu.png"
# The menu is the part of the screen that changed; the picture shows it with the row of
# icons. Compared: below the tray window's caption (the click activates it, and it is no
# part of the program) and left of the panel, where no tick repaints anything.
top=$((trayY + trayHeight - 24))
eval "$(xdotool getwindowgeometry --shell "$panel")"
menu=$(/usr/bin/convert "$work/before-menu.png" "$work/menu.png" -crop "${X}x4096+0+$top" \
    +repage -compose difference -composite -threshold 0 -trim -format '%w %h %X %Y' info: |
    tr -d '+')
read -r menuWidth menuHeight menuX menuY <<<"$menu"
[ "${menuWidth:-1}" -gt 20 ] || fail "the menu did not open"
menuY=$((menuY + top))
left=$((menuX < trayX ? menuX : trayX))
right=$((menuX + menuWidth > trayX + trayWidth ? menuX + menuWidth : trayX + trayWidth))
bottom=$((menuY + menuHeight > trayY + trayHeight ? menuY + menuHeight : trayY + trayHeight))
/usr/bin/convert "$work/menu.png" -crop "$((right - left))x$((bottom - top))+$left+$top" \
    +repage -strip docs/tray-menu.png
echo docs/tray-menu.png
# A click outside closes the menu without choosing anything.
xdotool mousemove 1200 1000 click 1
sleep 0.5

post ZEMBROVALE '*' 1005
dialog=$(find_window Options)
[ -n "$dialog" ] || fail "the Options dialog did not open"
sleep 0.5
shoot "$dialog" options-dialog.png
post '#32770' Options 12

post ZEMBROVALE '*' 1004
picker=$(find_window WinSpy)
[ -n "$picker" ] || fail "the window picker did not open"
# The picker reads the window under the pointer every 400 ms.
xdotool mousemove 860 500
sleep 1.2
shoot "$picker" window-picker.png
post '#32770' WinSpy close

# 400 MB free: below level 1, above level 2. The tuner's level drops into the yellow band.
# Last, so the alarm's balloon covers none of the other pictures.
zv_drive_size 400m
tuner_level 25
sleep 2.5
shoot "$panel" panel-alarm.png
# The balloon shows 2 s after the alarm tick, below the notification area.
balloon=""
for _ in $(seq 50); do
    balloon=$(xdotool search --onlyvisible --classname 'explorer.exe' 2>/dev/null |
        while read -r window; do
            [ "$window" != "$tray" ] && [ -z "$(xdotool getwindowname "$window")" ] && echo "$window"
        done | head -n 1)
    [ -n "$balloon" ] && break
    sleep 0.1
done
[ -n "$balloon" ] || fail "the alarm balloon did not appear"
eval "$(xdotool getwindowgeometry --shell "$balloon")"
/usr/bin/import -window root -crop "$((X + WIDTH - trayX + 8))x$((Y + HEIGHT - trayY + 8))+$trayX+$trayY" \
    +repage -strip docs/balloon-alarm.png
echo docs/balloon-alarm.png

post ZEMBROVALE '*' 1002
post RecorderMainWnd '*' close
wait "$program"

# shoot_icon NAME: the icon at the left of the tray window, with a little of the tray around
# it, three times its size.
shoot_icon() {
    local WIDTH HEIGHT X Y
    eval "$(xdotool getwindowgeometry --shell "$(find_window "Wine System Tray")")"
    /usr/bin/import -window root -crop "24x24+$((X + 1))+$((Y + 20))" +repage "$work/icon.png"
    /usr/bin/convert "$work/icon.png" -scale 300% -strip "docs/$1"
    echo "docs/$1"
}

# A night in five minutes, with the chart and the marked icon: the recorder pressed at the
# alarm, which also starts a command, and closed at level 2, where the shutdown is only
# rehearsed. The chart keeps one value a minute, so the drive fills in steps about that far
# apart. The chart is opened last: without a window manager it opens over the tray.
night=$work/night
mkdir -p "$night"
cp "$exe" "$night/zembrovale.exe"
# shellcheck disable=SC1003 # a single backslash, not an escaped quote
printf '%s\r\n' '[Options]' level1=00000500 level2=00000100 ClassName=RecorderMainWnd \
    WindowName=NULL x=00000600 y=00000400 frequency=00000000 key=00000082 'DriveLetter=D:\' \
    CloseTarget=00000001 ShutDownPC=00000001 UpdateInterval=00001000 HideTarget=00000000 \
    DryRun=1 OnAlarm=rem StateIcon=1 ShowHistory=1 >"$night/zembrovale.ini"
zv_drive_size 2048m
wine "$target" --class RecorderMainWnd --title "Untitled - Recorder" --rect 620 300 480 320 \
    --lifetime 600000 </dev/null >/dev/null 2>&1 &
[ -n "$(find_window "Untitled - Recorder")" ] || fail "the recorder window did not appear"
wine "$night/zembrovale.exe" </dev/null >/dev/null 2>&1 &
program=$!
[ -n "$(find_window "Zembrovale 0.7")" ] || fail "the program's window did not appear"
sleep 5
shoot_icon icon-normal.png
# Seconds to wait, then the drive's size or a picture: two minutes filling, the alarm at
# 450 MB, level 2 at 80 MB, and the recovery, which the curve shows from the next minute.
for step in 55:1500m 55:900m 30:450m 3:icon-level1.png 30:250m 30:80m 3:icon-level2.png \
    30:1900m 65:; do
    sleep "${step%%:*}"
    case ${step#*:} in
    *.png) shoot_icon "${step#*:}" ;;
    ?*) zv_drive_size "${step#*:}" ;;
    esac
done
post ZEMBROVALE '*' 1007
chart=$(find_window History)
[ -n "$chart" ] || fail "the History chart did not open"
sleep 1
shoot "$chart" history-chart.png
post ZEMBROVALE '*' 1002
wait "$program"
zv_wine_stop
