#!/bin/bash
# Runs the release checks of the Windows builds, then their Wine tests inside one prepared
# environment (prefix, Xvfb, persistent wineserver, tmpfs drive D:), and takes the
# environment down again.
#
#   scripts/wine-tests.sh [BUILD_DIR...]     default: build/win32 build/win64
#
# Extra ctest arguments can be given in ZV_CTEST_ARGS (for example "-R Settings"). Where this
# machine cannot run 32-bit programs (scripts/wine-loader.sh), a 32-bit build runs only its
# release checks, which need no Wine, and one line says so.
set -u
cd "$(dirname "$0")/.." || exit 1

builds=("$@")
if [ ${#builds[@]} -eq 0 ]; then
    builds=(build/win32 build/win64)
fi
for build in "${builds[@]}"; do
    if [ ! -f "$build/CTestTestfile.cmake" ]; then
        echo "wine-tests: $build is not a configured build folder (run make build)" >&2
        exit 1
    fi
done

started=$(date +%s.%N)
status=0

# ctest runs in the background so that a signal reaches the trap at once instead of
# after the whole run; the trap ends ctest first, then the environment.
ctest_pid=""
run_ctest() { # FOLDER ARGS...
    local folder=$1
    shift
    # shellcheck disable=SC2086
    (cd "$folder" && exec ctest --output-on-failure "$@" ${ZV_CTEST_ARGS:-}) &
    ctest_pid=$!
    wait "$ctest_pid" || status=1
    ctest_pid=""
}

# The release checks first, before Wine starts: they need none, and one of them builds the
# program again for a while, which left Wine with no program of its own running: its desktop
# then closes, and every later test pays for starting it anew.
for build in "${builds[@]}"; do
    echo "== release checks: $build"
    run_ctest "$build/tests/release" --timeout 600
done

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh || exit 1

stop_all() {
    if [ -n "$ctest_pid" ]; then
        kill "$ctest_pid" 2>/dev/null
        wait "$ctest_pid" 2>/dev/null
        ctest_pid=""
    fi
    zv_wine_stop
}
trap 'stop_all' EXIT
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM HUP

for build in "${builds[@]}"; do
    if [ "$ZV_WINE_32BIT" = 0 ] && [ "$(zv_build_bits "$build")" = 32 ]; then
        echo "wine-tests: skipped the Wine tests of $build: $ZV_WINE_32BIT_WHY (its release checks ran)"
        continue
    fi
    echo "== wine tests: $build"
    run_ctest "$build" --timeout 120 --label-exclude release
done

stop_all
echo "wine-tests: $(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
exit $status
