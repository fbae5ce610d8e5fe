#!/usr/bin/env bash
# Peak memory of recording a message from long sound: four hours of 44.1 kHz
# stereo WAV (2.5 GB) by default, and one minute of the same for comparison.
# The sound is read, mixed and resampled in blocks, so the peak should not
# grow with the length. Prints the maximum resident set size (GNU time) and
# the wall time of each encode.
#
# usage: encode_memory.sh [BUILD_DIR] [HOURS]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build=${1:-$top/build}
hours=${2:-4}
qrvtool="$build/tools/qrvtool/qrvtool"
[[ -x "$qrvtool" ]] || { echo "encode_memory: build qrvtool first ($qrvtool)" >&2; exit 1; }
command -v sox >/dev/null || { echo "encode_memory: needs sox (scripts/ensure-packages.sh)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/var/tmp}/encode-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT

measure() {  # measure LABEL SECONDS
  local wav="$work/$1.wav"
  sox -n -r 44100 -c 2 -b 16 "$wav" synth "$2" sine 200-3000 sine 310 >/dev/null
  /usr/bin/time -f "%M %e" -o "$work/time" "$qrvtool" encode -q --audio "$wav" -o "$work/$1.qrv"
  read -r kilobytes seconds <"$work/time"
  printf '%-10s input %6d MB  peak resident %5.1f MB  %7.1f s  message %s\n' "$1" \
    $(($(stat -c %s "$wav") / 1000000)) "$(awk -v k="$kilobytes" 'BEGIN { print k / 1000 }')" "$seconds" \
    "$("$qrvtool" info "$work/$1.qrv" | sed -n 's/^duration: *//p')"
  rm -f "$wav" "$work/$1.qrv"
}
measure "1 min" 60
measure "$hours h" $((hours * 3600))
