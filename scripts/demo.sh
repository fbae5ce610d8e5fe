#!/usr/bin/env bash
# The demo that ./run.sh opens: `demo.sh BUILD_DIR [stillbox]`.
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
out="$top/out/demo"
mkdir -p "$out"
"$qrvtool" info "$message"
"$qrvtool" decode "$message" --wav "$out/sound.wav" --png "$out/pictures" --y4m "$out/pictures.y4m" --md5
echo "Decoded into $out: sound.wav, pictures/*.png, pictures.y4m"
