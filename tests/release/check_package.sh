#!/bin/sh
# check_package.sh EXE ARCH WORK_DIR: packages EXE as `make dist` does, into WORK_DIR, and
# checks the zip: its name, exactly the four files a user needs (nothing of the tests, no
# DLL), the program byte for byte, and text files with Windows line ends.
set -eu
exe=$1
arch=$2
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

rm -rf "$work"
zip=$("$root/scripts/package.sh" "$exe" "$work")
version=$(sed -n 's/.*ProgramTitle = "Zembrovale \([0-9][0-9.]*\)".*/\1/p' "$root/core/program_name.h")
[ "$(basename "$zip")" = "zembrovale-$version-$arch.zip" ] ||
    fail "package named $(basename "$zip"), expected zembrovale-$version-$arch.zip"
[ "$(ls -A "$work")" = "$(basename "$zip")" ] || fail "left behind in $work: $(ls -A "$work")"

listing=$(unzip -Z1 "$zip" | sort)
expected=$(printf '%s\n' LICENSE user-guide.txt zembrovale.exe zembrovale.ini \
    zembrovale-alerts.yml | sort)
if [ "$listing" != "$expected" ]; then
    fail "the package holds:
$listing
expected exactly:
$expected"
fi
if unzip -Z1 "$zip" | grep -qi '\.dll$'; then
    fail "a DLL is in the package: $(unzip -Z1 "$zip" | grep -i '\.dll$')"
fi

unzip -p "$zip" zembrovale.exe | cmp -s - "$exe" || fail "zembrovale.exe is not the built program"
unzip -p "$zip" zembrovale.ini | tr -d '\r' | cmp -s - "$root/resources/sample.ini" ||
    fail "zembrovale.ini is not resources/sample.ini"
unzip -p "$zip" LICENSE | tr -d '\r' | cmp -s - "$root/LICENSE" || fail "LICENSE differs"
unzip -p "$zip" zembrovale-alerts.yml | cmp -s - "$root/docs/zembrovale-alerts.yml" ||
    fail "zembrovale-alerts.yml is not docs/zembrovale-alerts.yml"
cr=$(printf '\r')
for text in zembrovale.ini user-guide.txt LICENSE; do
    bare=$(unzip -p "$zip" "$text" | grep -c -v "$cr\$" || true)
    [ "$bare" -eq 0 ] || fail "$text has $bare lines without a Windows line end"
done
# The guide's pictures stay in the repository, and so do the lines that show them.
if unzip -p "$zip" user-guide.txt | grep -q '^!\['; then
    fail "user-guide.txt refers to pictures the package does not hold"
fi
unzip -p "$zip" user-guide.txt | grep -q "Troubleshooting" || fail "user-guide.txt is not the guide"

[ $status -eq 0 ] && echo "ok: $zip holds exactly: $(echo "$listing" | tr '\n' ' ')"
exit $status
