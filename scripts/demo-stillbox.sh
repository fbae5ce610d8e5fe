#!/usr/bin/env bash
# Makes a demo folder for the frames browser and opens stillbox in it:
# `demo-stillbox.sh [BUILD_DIR]`.
#
# Frames/ gets 320 x 240 bitmaps (decoded from samples/demo.qrv when it and
# qrvtool are there, otherwise painted), plus three files the browser leaves
# out or converts: a 640 x 480 bitmap, an 8-bit 320 x 240 bitmap (listed) and
# a broken file named .bmp.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-${KESTREL_BUILD_DIR:-$top/build}}" && pwd)
stillbox="$build/stillbox/stillbox"
paint="$build/stillbox/stillbox_paint_frames"
qrvtool="$build/tools/qrvtool/qrvtool"
message="$top/samples/demo.qrv"
demo="${KESTREL_STILLBOX_DEMO_DIR:-$top/out/stillbox-demo}"

for program in "$stillbox" "$paint"; do
  [[ -x "$program" ]] || { echo "demo-stillbox: $program is missing; build first" >&2; exit 1; }
done

rm -rf "$demo"
mkdir -p "$demo/Frames"

decoded=0
if [[ -f "$message" && -x "$qrvtool" ]] && command -v convert >/dev/null; then
  pictures=$(mktemp -d)
  if "$qrvtool" decode "$message" --png "$pictures" >/dev/null; then
    n=0
    # Every fifth picture, at most 24, so the list shows a spread of the message.
    for png in $(ls "$pictures"/*.png 2>/dev/null | awk 'NR % 5 == 1' | head -n 24); do
      n=$((n + 1))
      convert "$png" -type TrueColor "BMP3:$demo/Frames/$(printf 'frame_%04d.bmp' "$n")"
    done
    decoded=$n
  fi
  rm -rf "$pictures"
fi
if (( decoded == 0 )); then
  "$paint" frames "$demo/Frames" 12 frame
fi

"$paint" solid "$demo/Frames/too_big_640x480.bmp" 808080 640 480
"$paint" indexed "$demo/Frames/eight_bit.bmp"
"$paint" broken "$demo/Frames/broken.bmp"

echo "demo-stillbox: $(ls "$demo/Frames" | wc -l) files in $demo/Frames; starting stillbox there"
cd "$demo"
exec "$stillbox"
