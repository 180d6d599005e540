#!/bin/bash
# Runs the Wine tests of the Windows builds inside one prepared environment (prefix,
# Xvfb, persistent wineserver, tmpfs drive D:), then takes the environment down again.
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
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh || exit 1

# ctest runs in the background so that a signal reaches the trap at once instead of
# after the whole run; the trap ends ctest first, then the environment.
ctest_pid=""
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

status=0
for build in "${builds[@]}"; do
    folder=$build
    if [ "$ZV_WINE_32BIT" = 0 ] && [ "$(zv_build_bits "$build")" = 32 ]; then
        echo "wine-tests: skipped the Wine tests of $build: $ZV_WINE_32BIT_WHY (its release checks run)"
        folder=$build/tests/release
    fi
    echo "== wine tests: $folder"
    # shellcheck disable=SC2086
    (cd "$folder" && exec ctest --output-on-failure --timeout 120 ${ZV_CTEST_ARGS:-}) &
    ctest_pid=$!
    wait "$ctest_pid" || status=1
    ctest_pid=""
done

stop_all
echo "wine-tests: $(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
exit $status
