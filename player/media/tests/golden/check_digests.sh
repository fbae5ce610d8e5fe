#!/usr/bin/env bash
# Decodes one pinned message with qrvtool and compares the digests of its
# sound and pictures with the ones in digests.txt beside this script.
#   check_digests.sh QRVTOOL NAME
# NAME is the first field of a line of digests.txt; the environment (such as
# KESTREL_VIDEO_PATH) is passed on to qrvtool unchanged.
set -euo pipefail
qrvtool=$1
name=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../../../.." && pwd)

read -r _ file expected < <(grep -E "^$name[[:space:]]" "$here/digests.txt") || {
  echo "no line for $name in digests.txt" >&2
  exit 2
}
output=$("$qrvtool" decode "$top/$file" --md5)
pcm=$(sed -n 's/^pcm md5 //p' <<<"$output")
bgr=$(sed -n 's/^bgr md5 //p' <<<"$output")
actual="$pcm:$bgr"
if [[ "$actual" != "$expected" ]]; then
  echo "$file decodes to $actual (sound:pictures), pinned $expected" >&2
  exit 1
fi
echo "$file decodes to the pinned sound and pictures ($actual)"
