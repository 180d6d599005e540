# Sourced (bash): brings up everything the Wine tests need and installs a trap that
# takes it all down again, so a failing or interrupted run leaves nothing behind.
#
#   . scripts/wine-env.sh        # prefix, Xvfb, persistent wineserver, tmpfs drive D:
#   zv_drive_size 500m           # set the test drive's size (and so its free space)
#   zv_wine_stop                 # also run by the trap; safe to call more than once
#
# Exports WINEPREFIX, DISPLAY, WINEDEBUG, WINEDLLOVERRIDES and, for the tests,
# ZV_TEST_DRIVE (D:\), ZV_TEST_DRIVE_DIR (the tmpfs on the Linux side) and
# ZV_TEST_DRIVE_MB (its size). ZV_WINE_DIR moves the whole setup (default build/wine),
# so two people can run tests side by side without sharing a prefix. The Wine loader is
# chosen by scripts/wine-loader.sh: ZV_WINE_32BIT tells afterwards whether 32-bit programs
# run here.

ZV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-loader.sh
. "$ZV_ROOT/scripts/wine-loader.sh"
ZV_WINE_DIR=$(mkdir -p "${ZV_WINE_DIR:-$ZV_ROOT/build/wine}" && cd "${ZV_WINE_DIR:-$ZV_ROOT/build/wine}" && pwd)
ZV_TEST_DRIVE_MB=${ZV_TEST_DRIVE_MB:-64}

export WINEPREFIX="$ZV_WINE_DIR/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer prompts: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck disable=SC1003 # a single backslash, not an escaped quote
export ZV_TEST_DRIVE='D:\'
export ZV_TEST_DRIVE_DIR="$ZV_WINE_DIR/drive-d"
export ZV_TEST_DRIVE_MB

ZV_SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    ZV_SUDO="sudo"
fi
ZV_XVFB_PID=""
ZV_WINE_UP=""

zv_log() { echo "wine-env: $*" >&2; }

zv_wine_stop() {
    # Every step checks its own state, so a second call (trap after an explicit stop)
    # finds nothing left to do.
    if [ -n "$ZV_WINE_UP" ]; then
        ZV_WINE_UP=""
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$ZV_XVFB_PID" ]; then
        kill "$ZV_XVFB_PID" 2>/dev/null || true
        wait "$ZV_XVFB_PID" 2>/dev/null || true
        ZV_XVFB_PID=""
    fi
    rm -f "$WINEPREFIX/dosdevices/d:"
    if mountpoint -q "$ZV_TEST_DRIVE_DIR" 2>/dev/null; then
        local tries=0
        until $ZV_SUDO umount "$ZV_TEST_DRIVE_DIR" 2>/dev/null; do
            tries=$((tries + 1))
            if [ "$tries" -ge 20 ]; then
                $ZV_SUDO umount -l "$ZV_TEST_DRIVE_DIR" || true
                break
            fi
            sleep 0.1
        done
    fi
    if [ -n "${ZV_LOCK_FD:-}" ]; then
        eval "exec ${ZV_LOCK_FD}>&-"
        ZV_LOCK_FD=""
    fi
}

# zv_drive_size SIZE: tmpfs size as mount takes it (64m, 500m, 524292k, ...). Free space
# follows in 4 KiB steps, so a size in whole MiB reads back as exactly that many MB.
zv_drive_size() {
    $ZV_SUDO mount -o remount,size="$1" "$ZV_TEST_DRIVE_DIR"
}

zv_start_xvfb() {
    # Xvfb picks a free display number itself and reports it through -displayfd.
    local displayFile="$ZV_WINE_DIR/display"
    rm -f "$displayFile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$displayFile" </dev/null >/dev/null 2>"$ZV_WINE_DIR/xvfb.log" {ZV_LOCK_FD}>&- &
    ZV_XVFB_PID=$!
    local waited=0
    until [ -s "$displayFile" ]; do
        if ! kill -0 "$ZV_XVFB_PID" 2>/dev/null || [ "$waited" -ge 100 ]; then
            zv_log "Xvfb did not start (see $ZV_WINE_DIR/xvfb.log)"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    DISPLAY=":$(head -n 1 "$displayFile")"
    export DISPLAY
}

zv_make_prefix() {
    # The marker is written last: a prefix without it was interrupted and is rebuilt. One
    # made by the 64-bit loader alone lacks the 32-bit half, so only that loader reuses it.
    local marker="$WINEPREFIX/.zv-ready-3"
    if [ "$ZV_WINE_32BIT" = 0 ]; then
        [ -f "$marker" ] && return 0
        marker="$marker-64"
    fi
    if [ -f "$marker" ]; then
        return 0
    fi
    zv_log "creating the Wine prefix (about 20 s, once)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager every top-level window close stalls for seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    # A crashing program under test would start the debugger, which keeps ctest's
    # output pipe open and hangs the run: let crashes simply end the process.
    local view
    for view in 'Software' 'Software\Wow6432Node'; do
        wine reg delete "HKLM\\$view\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" \
            /v Debugger /f </dev/null >/dev/null 2>&1 || true
    done
    # Wine's own fonts (fonts-wine) are not found where this Wine looks for them; in the
    # prefix they are, so captions show their button glyphs and dialogs their own font.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    touch "$marker"
}

zv_mount_drive() {
    mkdir -p "$ZV_TEST_DRIVE_DIR"
    if mountpoint -q "$ZV_TEST_DRIVE_DIR"; then
        # Left over from a run that was killed outright; start from an empty drive.
        $ZV_SUDO umount "$ZV_TEST_DRIVE_DIR" || $ZV_SUDO umount -l "$ZV_TEST_DRIVE_DIR"
    fi
    $ZV_SUDO mount -t tmpfs -o "size=${ZV_TEST_DRIVE_MB}m,mode=1777" tmpfs "$ZV_TEST_DRIVE_DIR"
    ln -sfn "$ZV_TEST_DRIVE_DIR" "$WINEPREFIX/dosdevices/d:"
}

zv_wine_start() {
    # One run at a time per setup: the prefix, its server and the drive are shared.
    exec {ZV_LOCK_FD}>"$ZV_WINE_DIR/.lock"
    if ! flock -w 600 "$ZV_LOCK_FD"; then
        zv_log "another run holds $ZV_WINE_DIR/.lock"
        return 1
    fi
    trap 'zv_wine_stop' EXIT
    trap 'zv_wine_stop; exit 130' INT
    trap 'zv_wine_stop; exit 143' TERM HUP

    zv_wine_loader || return 1
    # Whatever a killed run left for this prefix goes first.
    wineserver -k >/dev/null 2>&1 || true
    ZV_WINE_UP=1
    zv_start_xvfb || return 1
    zv_make_prefix || return 1
    # The server must outlive each test, and be warmed up before ctest starts, or the
    # services Wine starts keep ctest waiting on their output.
    wineserver -p </dev/null >/dev/null 2>&1 {ZV_LOCK_FD}>&-
    # Into a file, not a pipe: the services Wine starts would hold a pipe open.
    local said="$ZV_WINE_DIR/wine-start.log"
    wine cmd /c exit </dev/null >"$said" 2>&1 {ZV_LOCK_FD}>&- || {
        zv_log "Wine does not start: \`wine cmd /c exit\` (loader $(zv_wine_loader_name)) said:"
        tail -n 5 "$said" | sed 's/^/    /' >&2
        return 1
    }
    zv_mount_drive || return 1
}

if ! zv_wine_start; then
    zv_wine_stop
    return 1
fi
