#!/bin/sh
# check_imports.sh OBJDUMP EXE: fails unless EXE imports only DLLs that every Windows
# installation has (the program ships as a single file).
set -eu
objdump=$1
exe=$2
allowed="kernel32.dll user32.dll gdi32.dll shell32.dll comctl32.dll advapi32.dll uxtheme.dll msvcrt.dll"

imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr '[:upper:]' '[:lower:]' | tr -d '\r')
if [ -z "$imports" ]; then
    echo "FAIL: no imported DLL found in $exe (objdump output not understood?)"
    exit 1
fi

status=0
for dll in $imports; do
    case " $allowed " in
    *" $dll "*) echo "ok: $dll" ;;
    *)
        echo "FAIL: $exe imports $dll, expected only: $allowed"
        status=1
        ;;
    esac
done
exit $status
