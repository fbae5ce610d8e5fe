#!/usr/bin/env bash
# Writes the seed corpus of fuzz_y4m_stream: small YUV4MPEG2 streams in each
# colour space the reader takes, odd sizes, frame parameters, comments, and
# streams cut short.
#
# usage: make_y4m_seeds.sh DIR
set -euo pipefail
export LC_ALL=C
dir=$1
mkdir -p "$dir"

# FRAMES frames of BYTES bytes each, a ramp that differs per frame.
frames() {
  local count=$1 bytes=$2 tag=${3:-FRAME} f
  for ((f = 0; f < count; f++)); do
    printf '%s\n' "$tag"
    awk -v n="$bytes" -v f="$f" 'BEGIN { for (i = 0; i < n; i++) printf "%c", 16 + (i * 7 + f * 31) % 220 }'
  done
}
# 5 x 3: luma 15 bytes; 4:2:0 chroma 3 x 2, 4:2:2 3 x 3, 4:4:4 5 x 3.
{ printf 'YUV4MPEG2 W5 H3 F25:1 Ip A1:1 C420jpeg\n'; frames 3 $((15 + 2 * 6)); } >"$dir/420jpeg.y4m"
{ printf 'YUV4MPEG2 W5 H3 F30000:1001 It C420mpeg2 XYSCSS=420MPEG2\n'; frames 2 $((15 + 2 * 6)); } >"$dir/420mpeg2.y4m"
{ printf 'YUV4MPEG2 C420paldv H3 W5 F1:1\n'; frames 2 $((15 + 2 * 6)) 'FRAME Ib XCOMMENT'; } >"$dir/420paldv.y4m"
{ printf 'YUV4MPEG2 W5 H3 F5:1 C422\n'; frames 2 $((15 + 2 * 9)); } >"$dir/422.y4m"
{ printf 'YUV4MPEG2 W5 H3 F1000:1 C444\n'; frames 7 $((15 * 3)); } >"$dir/444.y4m"
{ printf 'YUV4MPEG2 W4 H4 F1:60 Cmono\n'; frames 2 16; } >"$dir/mono.y4m"
{ printf 'YUV4MPEG2 W2 H2\n'; frames 1 6; } >"$dir/defaults.y4m"
# Refused headers: deeper samples, no size, too large, a rate out of range.
{ printf 'YUV4MPEG2 W2 H2 C420p10\n'; frames 1 12; } >"$dir/deep.y4m"
printf 'YUV4MPEG2 F25:1\n' >"$dir/nosize.y4m"
printf 'YUV4MPEG2 W8193 H2\n' >"$dir/toolarge.y4m"
printf 'YUV4MPEG2 W2 H2 F1001:1\n' >"$dir/fastrate.y4m"
# Cut short: in a frame's data, and in the tag of the next.
{ printf 'YUV4MPEG2 W5 H3 C420jpeg\n'; frames 1 27; frames 1 20; } >"$dir/cutdata.y4m"
{ printf 'YUV4MPEG2 W5 H3 C420jpeg\n'; frames 1 27; printf 'FRA'; } >"$dir/cuttag.y4m"
# The largest pictures announced by a header of a few bytes, then no data:
# the reader must not take memory for a frame that never comes.
printf 'YUV4MPEG2 W8192 H8192 C444\nFRAME\n' >"$dir/largest-announced.y4m"
