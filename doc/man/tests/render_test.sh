#!/usr/bin/env bash
# Each manual page renders at 80 columns with no warning from man or groff,
# and has its sections.
#
# usage: render_test.sh PAGE...
set -euo pipefail
fail() { echo "render_test: FAIL: $*" >&2; exit 1; }
command -v man >/dev/null || fail "man is not installed (man-db)"

for page in "$@"; do
  name=$(basename "$page" .1)
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man could not render $page"
  [[ -z "$warnings" ]] || fail "$name(1) renders with warnings: $warnings"
  text=$(MANWIDTH=80 man -l "$page" 2>/dev/null | col -b)
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' 'SEE ALSO'; do
    grep -qx "$section" <<<"$text" || fail "$name(1) has no $section section"
  done
  grep -q -- '--version' <<<"$text" || fail "$name(1) does not name --version"
  wide=$(awk 'length > 80' <<<"$text")
  [[ -z "$wide" ]] || fail "$name(1) has lines over 80 columns: $wide"
  echo "render_test: $name(1) renders clean"
done
echo "render_test: PASS"
