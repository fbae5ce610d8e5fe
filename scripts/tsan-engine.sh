#!/usr/bin/env bash
# Builds the playback engine's tests, and those of qrvtool's batch threads,
# with ThreadSanitizer (clang) in their own build folder and runs them
# against the private sound server and X display of test-services.sh. Any
# report fails the run.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${KESTREL_TSAN_BUILD_DIR:-$top/build-tsan}"

cmake -S "$top" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=thread" -DCMAKE_CXX_FLAGS="-fsanitize=thread" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DKESTREL_BENCH=OFF >/dev/null
cmake --build "$build" --target playback_tests playback_pulse_tests playback_server_failure_tests \
  ordered_work_tests -- -j2

source "$top/scripts/test-services.sh"
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$top/scripts/tsan-engine.supp ${TSAN_OPTIONS:-}"
status=0
# The engine's programs only: the painted controls are single-threaded, and
# Qt's own image thread pool (uninstrumented) would only add noise there.
for test in player/playback/tests/playback_tests player/playback/tests/playback_pulse_tests \
  player/playback/tests/playback_server_failure_tests tools/qrvtool/tests/ordered_work_tests; do
  echo "== $test under ThreadSanitizer"
  "$build/$test" --gtest_brief=1 || status=$?
  if [[ $status -ne 0 ]]; then
    echo "tsan-engine: $test failed (exit $status)" >&2
    exit "$status"
  fi
done
echo "tsan-engine: no reports"
