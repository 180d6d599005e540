#!/bin/sh
# check_no_startup_code.sh MAP: fails when the program, as the linker map MAP lays it out,
# has a static constructor or an atexit handler. It starts at its own entry point, without
# the C runtime's start-up code, so neither would ever run: a constructor's object would stay
# unmade, and a handler would never be called.
set -eu
map=$1
[ -s "$map" ] || { echo "FAIL: no linker map at $map"; exit 1; }

# Input sections that the linker put between the constructor list's two markers.
ctors=$(awk '
    /__CTOR_LIST__ = \./ { inside = 1; next }
    inside && /LONG 0x0$/ { inside = 0 }
    inside && $1 ~ /^\.(ctors|ctor|init_array)/ && $2 ~ /^0x/ { print }
' "$map")
# Wherever an init_array would sit, as other toolchains lay out constructors.
init=$(grep -E '^ *\.init_array[^ ]* +0x[0-9a-f]+ +0x[0-9a-f]*[1-9a-f]' "$map" || true)
exits=$(grep -Eo '(__cxa_atexit|_*onexit|_*atexit)' "$map" | sort -u || true)

status=0
if [ -n "$ctors$init" ]; then
    echo "FAIL: static constructors that would never run:"
    echo "$ctors$init" | sed 's/^/    /'
    status=1
fi
if [ -n "$exits" ]; then
    echo "FAIL: the program links an exit handler that would never run: $(echo $exits)"
    status=1
fi
[ $status -eq 0 ] && echo "ok: no static constructor and no atexit handler in $map"
exit $status
