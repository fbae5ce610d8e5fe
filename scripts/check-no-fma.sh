#!/usr/bin/env bash
# Fails when the given archives or object files hold a fused multiply-add
# instruction (FMA3, FMA4 or AVX-512 forms): the decoders' formulas round each
# product and each sum, and a fused instruction rounds once, which changes
# pictures. Used by ctest and by CI on the media library.
#   check-no-fma.sh LIBRARY.a ...
set -euo pipefail
status=0
for file in "$@"; do
  found=$(objdump -d -C --no-show-raw-insn "$file" |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = substr($0, index($0, "<")) } /\tv?f(n?m(add|sub)|maddsub|msubadd)[0-9a-z]*[ \t]/ { print fn " " $0 }')
  if [[ -n "$found" ]]; then
    echo "$file holds fused multiply-add instructions:" >&2
    head -n 20 <<<"$found" >&2
    status=1
  else
    echo "$file: no fused multiply-add instruction"
  fi
done
exit $status
