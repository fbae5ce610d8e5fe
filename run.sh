#!/usr/bin/env bash
# Sets up what is missing, builds, and shows the demo.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
build="${KESTREL_BUILD_DIR:-$top/build}"
"$top/scripts/demo.sh" "$build" "$@"
