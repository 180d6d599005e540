# shellcheck shell=bash
# Sourced (bash): decides whether this machine can run 32-bit programs, and makes `wine`
# start a loader that works here. Nothing outside the project is changed.
#
#   . scripts/wine-loader.sh && zv_wine_loader || exit 1
#
# Afterwards ZV_WINE_32BIT is 1 where both builds run under Wine, or 0 where only the 64-bit
# one does; then ZV_WINE_32BIT_WHY says why. Both are exported, so the scripts a run starts
# reuse the decision instead of probing again.
#
# Debian's /usr/bin/wine always takes the 32-bit loader when it is installed, and a kernel
# without 32-bit support cannot execute it. On such a machine `wine` and `wine-stable` (which
# wineboot runs) are wrappers in build/wine-loader/ that start the 64-bit loader, put first
# in PATH. ZV_WINE64_ONLY=1 takes that path on any machine, to try it where both run.

ZV_WINE32_LOADER=/usr/lib/wine/wine
ZV_WINE64_LOADER=/usr/lib/wine/wine64

zv_loader_log() { echo "wine-loader: $*" >&2; }

# True where 32-bit Linux programs execute. The 32-bit C library's own loader answers
# --help without Wine's help; without it, 32-bit Wine itself is asked.
zv_runs_32bit_programs() {
    if [ -e /lib/ld-linux.so.2 ]; then
        /lib/ld-linux.so.2 --help >/dev/null 2>&1
        return
    fi
    "$ZV_WINE32_LOADER" --version >/dev/null 2>&1
}

zv_decide_wine_loader() {
    case "${ZV_WINE64_ONLY:-}" in
    '' | 0) ;;
    *)
        ZV_WINE_32BIT=0
        ZV_WINE_32BIT_WHY="ZV_WINE64_ONLY is set"
        return
        ;;
    esac
    if zv_runs_32bit_programs; then
        ZV_WINE_32BIT=1
        ZV_WINE_32BIT_WHY=""
    else
        ZV_WINE_32BIT=0
        ZV_WINE_32BIT_WHY="this machine cannot run 32-bit programs"
    fi
}

# Writes the wrappers that start the 64-bit loader and puts them first in PATH.
zv_use_64bit_loader() {
    local bin
    bin="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine-loader"
    if [ ! -x "$ZV_WINE64_LOADER" ]; then
        zv_loader_log "the 64-bit Wine loader $ZV_WINE64_LOADER is missing (run make setup)"
        return 1
    fi
    mkdir -p "$bin"
    local name
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec %s "$@"\n' "$ZV_WINE64_LOADER" >"$bin/$name"
        chmod +x "$bin/$name"
    done
    case ":$PATH:" in
    *":$bin:"*) ;;
    *) PATH="$bin:$PATH" ;;
    esac
    export PATH
    export WINELOADER="$ZV_WINE64_LOADER"
}

# Decides once per run, points `wine` at the loader, and checks that it starts at all: a
# Wine broken in any other way fails here with what it said.
zv_wine_loader() {
    if [ -z "${ZV_WINE_32BIT:-}" ]; then
        zv_decide_wine_loader
        export ZV_WINE_32BIT ZV_WINE_32BIT_WHY
    fi
    if [ "$ZV_WINE_32BIT" = 0 ]; then
        zv_use_64bit_loader || return 1
    elif [ ! -x "$ZV_WINE32_LOADER" ]; then
        # /usr/bin/wine would quietly fall back to the 64-bit loader, and every 32-bit test fail.
        zv_loader_log "the 32-bit Wine loader $ZV_WINE32_LOADER is missing (run make setup)"
        return 1
    fi
    local said
    if ! said=$(wine --version 2>&1); then
        zv_loader_log "Wine does not start: \`wine --version\` (loader $(zv_wine_loader_name)) said:"
        printf '%s\n' "$said" | head -n 5 | sed 's/^/    /' >&2
        return 1
    fi
}

zv_wine_loader_name() {
    if [ "${ZV_WINE_32BIT:-1}" = 0 ]; then
        echo "$ZV_WINE64_LOADER"
    else
        echo "$ZV_WINE32_LOADER"
    fi
}

# The build folder a single-build task (run, screenshots, bench) uses: BUILD_DIR unchanged
# where 32-bit programs run, else the 64-bit build, with one line that says so.
zv_runnable_build() { # BUILD_DIR WHO
    local build=$1
    if [ "$ZV_WINE_32BIT" = 0 ] && [ "$(zv_build_bits "$build")" = 32 ]; then
        build=build/win64
        echo "$2: using the 64-bit build ($build): $ZV_WINE_32BIT_WHY" >&2
    fi
    echo "$build"
}

# 32 or 64: the word size of a Windows build folder, from its executable's PE header.
zv_build_bits() {
    local exe=$1/zembrovale.exe offset machine
    [ -f "$exe" ] || {
        case "$1" in *win32*) echo 32 ;; *) echo 64 ;; esac
        return
    }
    offset=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
    machine=$(od -An -tu2 -j $((offset + 4)) -N 2 "$exe" | tr -d ' ')
    if [ "$machine" = 332 ]; then echo 32; else echo 64; fi
}
