#!/bin/sh
# The product's logic (the tick, the paint, settings, formatting) must never allocate
# from the heap: no object of the logic library may even refer to an allocator.
set -eu
library="$1"
allocators='^(_Znwm|_Znam|_ZnwmRKSt9nothrow_t|_ZnamRKSt9nothrow_t|_ZnwmSt11align_val_t|malloc|calloc|realloc|strdup|strndup|posix_memalign|aligned_alloc)$'
found=$(nm -u -A "$library" | awk '{print $NF}' | grep -E "$allocators" || true)
if [ -n "$found" ]; then
    echo "heap allocation referenced by the logic library:"
    nm -u -A "$library" | grep -E " ($(echo "$found" | tr '\n' '|' | sed 's/|$//'))$"
    exit 1
fi
echo "no allocator referenced by $(nm -A "$library" 2>/dev/null | cut -d: -f2 | sort -u | wc -l) objects"
