#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for the
# given number of seconds (default 60) from the committed seed corpus.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds="${1:-60}"
build="$top/build-fuzz"
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTREL_MEDIA_ONLY=ON -DKESTREL_FUZZ=ON -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake --build "$build" --target fuzz_message_file fuzz_video_payload -- --quiet

corpus="$top/player/media/tests/fuzz/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local target=$1 seeds=$2
  mkdir -p "$work/$target"
  cp "$corpus/$seeds"/* "$work/$target/"
  echo "fuzzing $target for ${seconds}s"
  (cd "$work" && "$build/player/media/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
     -print_final_stats=1 "$work/$target" 2>"$work/$target.log") || {
    tail -n 60 "$work/$target.log" >&2
    echo "$target found a crash" >&2
    return 1
  }
  grep -E 'stat::number_of_executed_units|Done' "$work/$target.log" | tail -n 2
}
run fuzz_message_file message
run fuzz_video_payload payload
