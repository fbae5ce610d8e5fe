#!/usr/bin/env bash
# The demo that ./run.sh opens: `demo.sh BUILD_DIR [stillbox]`. Without an
# argument it plays the demo message in the player when there is a display,
# and otherwise decodes it with qrvtool.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$1"
shift
qrvtool="$build/tools/qrvtool/qrvtool"

if [[ "${1:-}" == "stillbox" ]]; then
  exec "$top/scripts/demo-stillbox.sh" "$build"
fi

message="$top/samples/demo.qrv"
[[ -f "$message" ]] || message="$top/player/media/tests/fuzz/corpus/message/video.qrv"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$build/player/player" "$message"
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): decoding the demo with qrvtool instead of playing it."
out="$top/out/demo"
mkdir -p "$out"
"$qrvtool" info "$message"
"$qrvtool" decode "$message" --wav "$out/sound.wav" --png "$out/pictures" --y4m "$out/pictures.y4m" --md5
echo "Decoded into $out: sound.wav, pictures/*.png, pictures.y4m"
