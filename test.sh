#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh" run build test
"$top/scripts/build.sh"
# A private sound server with a null sink and an X server for the tests that
# play sound or open real windows.
source "$top/scripts/test-services.sh"
cd "${KESTREL_BUILD_DIR:-$top/build}"
ctest --output-on-failure -j"$(nproc)"
