#!/bin/sh
# check_oldest_windows.sh OBJDUMP EXE LIST: fails unless EXE loads on the oldest Windows the
# program supports: Windows XP SP3 for a 32-bit EXE, 64-bit Windows XP (Server 2003 SP2) for
# a 64-bit one. Every imported function must be one that Windows has, as LIST names them
# (lines of a DLL's name and its functions), and the header must not ask for a newer
# subsystem than 5.1 (5.2).
#
# LIST holds the functions checked by hand against that Windows. A function that is missing
# from it fails this check until someone has made sure that Windows exports it, or has made
# the program look it up at run time instead.
set -eu
objdump=$1
exe=$2
list=$3

headers=$("$objdump" -p "$exe")
magic=$(echo "$headers" | sed -n 's/^Magic[[:space:]]*//p' | cut -c1-4)
major=$(echo "$headers" | sed -n 's/^MajorSubsystemVersion[[:space:]]*//p' | tr -d '\r')
minor=$(echo "$headers" | sed -n 's/^MinorSubsystemVersion[[:space:]]*//p' | tr -d '\r')
oldest=501 # XP
[ "$magic" = "020b" ] && oldest=502 # the 64-bit XP is Windows 5.2
status=0
if [ -z "$major" ] || [ $((major * 100 + minor)) -gt $oldest ]; then
    echo "FAIL: $exe asks for subsystem version $major.$minor; Windows $((oldest / 100)).$((oldest % 100)) would not load it"
    status=1
fi

imports=$(echo "$headers" | awk '
    /^\tDLL Name:/ { dll = tolower($3) }
    /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { if (dll != "") print dll, $3 }
    /^$/ { dll = "" }')
if [ -z "$imports" ]; then
    echo "FAIL: no imported function found in $exe (objdump output not understood?)"
    exit 1
fi
known=$(grep -v '^#' "$list" | tr '[:upper:]' '[:lower:]' | awk '{ for (i = 2; i <= NF; i++) print $1, $i }')
count=0
echo "$imports" | {
    while read -r dll function; do
        count=$((count + 1))
        lowered=$(echo "$dll $function" | tr '[:upper:]' '[:lower:]')
        if ! echo "$known" | grep -qxF "$lowered"; then
            echo "FAIL: $exe imports $function from $dll, which is not among the functions of the oldest supported Windows ($list)"
            status=1
        fi
    done
    [ $status -eq 0 ] && echo "ok: all $count imports of $exe are on Windows $((oldest / 100)).$((oldest % 100)); subsystem $major.$minor"
    exit $status
}
