#!/bin/sh
# Builds the release package of one executable:
#
#   scripts/package.sh EXE OUT_DIR   ->  OUT_DIR/zembrovale-<version>-<win32|win64>.zip
#
# The package holds zembrovale.exe, the commented sample zembrovale.ini, the user guide as
# plain text, the licence and the example alerting rules, all at its top level, so the settings file lands beside the
# program when the folder is unzipped. Text files get Windows line ends. The architecture
# is read from the executable itself, so a package can never carry the other build.
#
# The zip is the same bytes whoever builds it, wherever and whenever: every entry carries the
# time of the commit it was built from (SOURCE_DATE_EPOCH, when set, overrides it), in UTC,
# with the same permissions, and no extra fields.
set -eu

fail() {
    echo "package: $*" >&2
    exit 1
}
if [ $# -ne 2 ]; then
    echo "usage: scripts/package.sh EXE OUT_DIR" >&2
    exit 2
fi
[ -f "$1" ] || fail "$1 does not exist (run make build)"
# Both made absolute before moving to the repository root.
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2"
out=$(cd "$2" && pwd)
cd "$(dirname "$0")/.."

# The version shown in the program's title is the one in the package name.
version=$(sed -n 's/.*ProgramTitle = "Zembrovale \([0-9][0-9.]*\)".*/\1/p' core/program_name.h)
[ -n "$version" ] || fail "no version found in core/program_name.h"

# PE header: its offset is at 0x3C; the machine type is the two bytes after its "PE\0\0" mark.
peOffset=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
machine=$(od -An -tu2 -j $((peOffset + 4)) -N 2 "$exe" | tr -d ' ')
case "$machine" in
332) arch=win32 ;;   # 0x014C, i386
34404) arch=win64 ;; # 0x8664, x86-64
*) fail "$exe is not a 32-bit or 64-bit x86 Windows program (machine $machine)" ;;
esac

zip="$out/zembrovale-$version-$arch.zip"
stage="$out/.stage-$arch"
rm -rf "$stage"
mkdir -p "$stage"

crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
cp "$exe" "$stage/zembrovale.exe"
crlf resources/sample.ini "$stage/zembrovale.ini"
crlf LICENSE "$stage/LICENSE"
cp docs/zembrovale-alerts.yml "$stage/zembrovale-alerts.yml"
# The pictures stay in the repository: drop their lines and the blank lines they leave.
sed '/^!\[.*\](.*)[[:space:]]*$/d' docs/user-guide.md | cat -s >"$stage/user-guide.md"
crlf "$stage/user-guide.md" "$stage/user-guide.txt"
rm "$stage/user-guide.md"

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
# Outside a repository (an unpacked source archive): the start of the version's year.
epoch=${epoch:-$(date -u -d 2026-01-01 +%s)}
chmod 644 "$stage"/*
TZ=UTC touch -d "@$epoch" "$stage"/*

# A fresh archive: zip would otherwise keep entries of an earlier run.
rm -f "$zip"
(cd "$stage" && TZ=UTC zip -q -X -D "../$(basename "$zip")" zembrovale.exe zembrovale.ini \
    user-guide.txt LICENSE zembrovale-alerts.yml)
rm -rf "$stage"
echo "$zip"
