#!/usr/bin/env bash
# Configures (once) and builds the project into build/.
#
# usage: build.sh [--programs-only]
#
# --programs-only leaves the tests and benchmarks out of a new build folder,
# so that only the run and build packages are needed (./run.sh); a folder
# configured with the tests keeps them. Without it the tests are built.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${KESTREL_BUILD_DIR:-$top/build}"
tests=ON
[[ "${1:-}" == --programs-only ]] && tests=OFF
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_TESTS=$tests >/dev/null
elif [[ $tests == ON ]] && ! grep -qx 'KESTREL_TESTS:BOOL=ON' "$build/CMakeCache.txt"; then
  cmake -S "$top" -B "$build" -DKESTREL_TESTS=ON >/dev/null
fi
cmake --build "$build" -- --quiet
