#!/usr/bin/env bash
# The share of the volume meter's 50 ms reads that light a segment while a
# message's sound plays through a private sound server, with the latest
# peak and with the held peak.
#
# usage: peak_share.sh BUILD_DIR MESSAGE...
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build=$(cd "$1" && pwd)
shift
source "$top/scripts/test-services.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for message in "$@"; do
  "$build/tools/qrvtool/qrvtool" decode -q "$message" --wav="$work/sound.wav"
  seconds=$(soxi -D "$work/sound.wav")
  "$build/player/volume/bench/peak_share_probe" @DEFAULT_MONITOR@ "$(awk -v s="$seconds" 'BEGIN { print s + 1.5 }')" >"$work/share" &
  probe=$!
  sleep 0.5
  paplay "$work/sound.wav"
  wait "$probe"
  echo "$(basename "$message"): $(cat "$work/share")"
done
