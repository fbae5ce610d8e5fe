#!/usr/bin/env bash
# Builds the media library, qrvtool and their tests with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, runs the tests, and checks
# that this clang build decodes the reference messages to exactly the same
# sound and pictures as the g++ build in build/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-asan"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTREL_MEDIA_ONLY=ON -DKESTREL_BENCH=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake --build "$build" -- --quiet
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$build" && ctest --output-on-failure -j"$(nproc)")

# Same pictures and samples from both compilers.
reference="$top/build/tools/qrvtool/qrvtool"
if [[ -x "$reference" ]]; then
  status=0
  for message in "$top"/samples/*.qrv "$top"/player/media/tests/fuzz/corpus/message/*.qrv; do
    [[ -f "$message" ]] || continue
    a=$("$reference" decode "$message" --md5)
    b=$("$build/tools/qrvtool/qrvtool" decode "$message" --md5)
    if [[ "$a" != "$b" ]]; then
      echo "g++ and clang builds decode $message differently:" >&2
      echo "$a" >&2
      echo "$b" >&2
      status=1
    fi
  done
  [[ $status -eq 0 ]] && echo "g++ and clang builds decode the reference messages identically"
  exit $status
fi
