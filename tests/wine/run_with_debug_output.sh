#!/bin/sh
# run_with_debug_output.sh EXE OUTPUT [ARGUMENT...]: runs the Windows test program EXE under
# Wine with its standard error in OUTPUT, whose path it learns from ZV_WINE_DEBUG_OUTPUT. Wine
# writes the debug channels of every program it starts there, so the test can read what the
# programs it starts report on a channel it turns on for them.
set -eu
exe=$1 output=$2
shift 2
: >"$output"
ZV_WINE_DEBUG_OUTPUT=$output exec wine "$exe" "$@" 2>"$output"
