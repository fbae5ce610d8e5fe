#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
cd "${KESTREL_BUILD_DIR:-$top/build}"
ctest --output-on-failure -j"$(nproc)"
