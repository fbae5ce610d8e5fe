#!/usr/bin/env bash
# Sets up what is missing, builds, and shows the demo.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh" run build
"$top/scripts/build.sh" --programs-only
build="${KESTREL_BUILD_DIR:-$top/build}"
"$top/scripts/demo.sh" "$build" "$@"
