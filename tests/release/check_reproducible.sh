#!/bin/sh
# check_reproducible.sh EXE TOOLCHAIN WORK_DIR: builds the program a second time, from a copy
# of the sources in another folder, and fails unless that build's executable and its release
# package are byte for byte the ones of EXE.
set -eu
exe=$1
toolchain=$2
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

rm -rf "$work"
mkdir -p "$work/sources"
# What the repository holds, without any build output.
(cd "$root" && tar -cf - --exclude=./build --exclude=./dist --exclude=./.git .) |
    tar -xf - -C "$work/sources"
cmake -S "$work/sources" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >"$work/configure.log" 2>&1 ||
    { tail -n 20 "$work/configure.log"; exit 1; }
cmake --build "$work/build" --target zembrovale -j "$(nproc)" >"$work/build.log" 2>&1 ||
    { tail -n 20 "$work/build.log"; exit 1; }
second="$work/build/zembrovale.exe"

status=0
if cmp "$exe" "$second"; then
    echo "ok: $second is the same bytes as $exe"
else
    echo "FAIL: a second build of the same sources differs from $exe"
    status=1
fi
# Both packaged from the same commit, at different times and in different folders.
first_zip=$(cd "$root" && scripts/package.sh "$exe" "$work/first")
sleep 1
second_zip=$(cd "$root" && scripts/package.sh "$second" "$work/second")
if cmp "$first_zip" "$second_zip"; then
    echo "ok: $(basename "$first_zip") is the same bytes both times"
else
    echo "FAIL: two packages of the same build differ"
    status=1
fi
exit $status
