#!/usr/bin/env bash
# Batch speed on several threads: decode, export to Y4M and encode of a
# message of random pictures and noise (40 s at 5 pictures a second by
# default, every payload at its size limit), each with --threads 1 and with
# one thread per core, in turn, several rounds. Prints the median wall time
# of each and the speed-up; and the load average, since on a shared machine
# other work takes cores away. Then, when built, scan_bench on the same
# message: the decoding alone inside one process, without the milliseconds
# every process spends starting and ending, which no thread count shortens;
# and a decode of the sound alone, which is most of those milliseconds plus
# the sound's own decoding.
#
# usage: threads_bench.sh [BUILD_DIR] [SECONDS] [ROUNDS]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build=${1:-$top/build}
seconds=${2:-40}
rounds=${3:-5}
qrvtool="$build/tools/qrvtool/qrvtool"
[[ -x "$qrvtool" ]] || { echo "threads_bench: build qrvtool first ($qrvtool)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "threads_bench: needs ffmpeg (scripts/ensure-packages.sh)" >&2; exit 1; }
cores=$(nproc)

work=$(mktemp -d "${TMPDIR:-/var/tmp}/threads-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
message="$work/random.qrv"
ffmpeg -v error -f lavfi -i "nullsrc=s=320x240:r=5:d=$seconds,geq=random(1)*255:128:128" -pix_fmt yuv444p \
  -f yuv4mpegpipe "$work/noise.y4m"
ffmpeg -v error -f lavfi -i "anoisesrc=d=$seconds:c=white:r=8000" "$work/noise.wav"
"$qrvtool" encode -q --audio "$work/noise.wav" --video "$work/noise.y4m" -o "$message"
echo "message: $("$qrvtool" info "$message" | sed -n 's/^duration: *//p'), $("$qrvtool" info "$message" |
  sed -n 's/^video payload: *//p')"

# wall SECONDS of one run of the command
wall() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

run() {  # run NAME COMMAND... (with THREADS in place of the count)
  local name=$1 one many
  shift
  : >"$work/one"; : >"$work/many"
  for _ in $(seq 1 "$rounds"); do
    wall "${@/THREADS/1}" >>"$work/one"
    wall "${@/THREADS/$cores}" >>"$work/many"
  done
  one=$(median <"$work/one")
  many=$(median <"$work/many")
  printf '%-8s 1 thread %7.3f s   %d threads %7.3f s   speed-up %.2f\n' "$name" "$one" "$cores" "$many" \
    "$(awk -v a="$one" -v b="$many" 'BEGIN { print a / b }')"
}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
run decode "$qrvtool" decode -q "$message" --threads THREADS --bgr /dev/null
run export "$qrvtool" export -q "$message" --threads THREADS -o "$work/out.y4m"
run encode "$qrvtool" encode -q --audio "$work/noise.wav" --video "$work/noise.y4m" --threads THREADS -o "$work/out.qrv"
: >"$work/one"
for _ in $(seq 1 "$rounds"); do wall "$qrvtool" decode -q "$message" --pcm /dev/null >>"$work/one"; done
printf 'sound only (no pictures decoded): %.3f s\n' "$(median <"$work/one")"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

scan_bench="$build/tools/qrvtool/bench/scan_bench"
if [[ -x "$scan_bench" ]]; then
  "$scan_bench" --message "$message" --benchmark_repetitions="$rounds" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | awk -F, -v cores="$cores" '
      $1 ~ /threads:1\/.*_median"$/ { one = $3 }
      $1 ~ ("threads:" cores "/.*_median\"$") { many = $3 }
      END { if (one && many) printf "in-process decode (median): 1 thread %.1f ms   %d threads %.1f ms   speed-up %.2f\n", one, cores, many, one / many }'
fi
