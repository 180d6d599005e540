#!/bin/sh
# check_no_startup_code.sh MAP: fails when the program, as the linker map MAP lays it out, has
# a static constructor or an atexit handler. It starts at its own entry point, without the C
# runtime's start-up code, so neither would ever run.
set -eu
[ -s "$1" ] || { echo "FAIL: no linker map at $1"; exit 1; }
# Input sections that the linker put between the constructor list's two markers.
ctors=$(awk '/__CTOR_LIST__ = \./ { inside = 1; next }
             inside && /LONG 0x0$/ { inside = 0 }
             inside && $1 ~ /^\.ctors/ && $2 ~ /^0x/' "$1")
exits=$(grep -Eo '(__cxa_atexit|_*onexit|_*atexit)' "$1" | sort -u || true)
[ -z "$ctors" ] || echo "FAIL: static constructors that would never run: $ctors"
[ -z "$exits" ] || echo "FAIL: an exit handler that would never run: $(echo $exits)"
[ -z "$ctors$exits" ] && echo "ok: no static constructor and no atexit handler in $1"
