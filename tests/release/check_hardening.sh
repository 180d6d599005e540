#!/bin/sh
# check_hardening.sh OBJDUMP EXE: fails unless EXE is relocatable (ASLR) and asks for a
# non-executable stack and heap (DEP); a 64-bit EXE must also allow high-entropy ASLR.
set -eu
objdump=$1
exe=$2

headers=$("$objdump" -p "$exe")
flags=$(echo "$headers" | sed -n 's/^DllCharacteristics[[:space:]]*//p' | tr -d '\r')
magic=$(echo "$headers" | sed -n 's/^Magic[[:space:]]*//p' | cut -c1-4)
if [ -z "$flags" ]; then
    echo "FAIL: no DllCharacteristics in $exe"
    exit 1
fi

required=$((0x40 | 0x100)) # DYNAMIC_BASE | NX_COMPAT
if [ "$magic" = "020b" ]; then
    required=$((required | 0x20)) # HIGH_ENTROPY_VA on PE32+
fi
value=$((0x$flags))
if [ $((value & required)) -ne $required ]; then
    printf 'FAIL: %s DllCharacteristics 0x%x lacks 0x%x\n' "$exe" "$value" "$required"
    exit 1
fi
printf 'ok: %s DllCharacteristics 0x%x (magic %s)\n' "$exe" "$value" "$magic"
