#!/usr/bin/env bash
# Decodes one pinned message with qrvtool and compares the digests of its
# sound and pictures with the ones in digests.txt beside this script.
#   check_digests.sh QRVTOOL NAME
# NAME is the first field of a line of digests.txt. KESTREL_VIDEO_PATH, when
# set, picks the decoder's reconstruction path; the check is skipped (status
# 77) when this processor cannot run it, rather than test another path.
set -euo pipefail
qrvtool=$1
name=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../../../.." && pwd)

case "${KESTREL_VIDEO_PATH:-}" in
  sse2 | avx2)
    if [[ "$(uname -m)" != x86_64 ]] || ! grep -qw "$KESTREL_VIDEO_PATH" /proc/cpuinfo; then
      echo "this processor has no $KESTREL_VIDEO_PATH"
      exit 77
    fi ;;
esac

read -r _ file expected < <(grep -E "^$name[[:space:]]" "$here/digests.txt") || {
  echo "no line for $name in digests.txt" >&2
  exit 2
}
# --verify exits 3 when the decoded output differs, and names what differs.
"$qrvtool" decode -q "$top/$file" --verify "$expected"
echo "$file decodes to the pinned sound and pictures ($expected)"
