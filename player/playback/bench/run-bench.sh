#!/usr/bin/env bash
# The playback engine's figures on a private sound server: Open to first
# sound, CPU share while the demo plays, last picture against end of sound,
# pictures against the sound heard with pauses, Open of a 2 GB message.
# Usage: run-bench.sh [build-dir]   (the build must have KESTREL_BENCH on)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build="${1:-${KESTREL_BUILD_DIR:-$top/build}}"
bench="$build/player/playback/bench/playback_bench"
[[ -x "$bench" ]] || { echo "run-bench: $bench is not built" >&2; exit 1; }
source "$top/scripts/test-services.sh"
echo "== $bench first-sound 10"
"$bench" first-sound 10
echo "== $bench play $top/samples/demo.qrv"
"$bench" play "$top/samples/demo.qrv"
echo "== $bench av-sync"
"$bench" av-sync
echo "== $bench open-large $top/samples/demo.qrv"
"$bench" open-large "$top/samples/demo.qrv"
