#!/usr/bin/env bash
# The browser's listing figures on a display of its own with a window manager:
# first listing and hand-over refresh, 1000 and 5000 frames.
#
# usage: window_bench.sh [BUILD_DIR] [benchmark options]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-${KESTREL_BUILD_DIR:-$top/build}}" && pwd)
shift || true
bench="$build/stillbox/bench/stillbox_listing_bench"
stillbox="$build/stillbox/stillbox"
[[ -x "$bench" && -x "$stillbox" ]] || { echo "window_bench: build $bench and $stillbox first" >&2; exit 1; }
E2E_NAME=stillbox-window-bench
E2E_OUT="$build/stillbox/bench/output"
source "$top/common/tests/e2e/x11_session.sh"
cd "$E2E_WORK"
"$bench" "$stillbox" "$@"
