#!/usr/bin/env bash
# Installs the Debian packages of the lists in scripts/packages.txt that are
# missing.
#
# usage: ensure-packages.sh [LIST...]   (LIST: run, build or test; all three
#                                        when none is given)
#
# Quiet when everything is there. As root it runs apt-get itself, otherwise
# sudo; without either it prints the command it needs and fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lists=("$@")
[[ ${#lists[@]} -eq 0 ]] && lists=(run build test)

wanted() {
  local list
  for list in "${lists[@]}"; do [[ "$list" == "$1" ]] && return 0; done
  return 1
}

for list in "${lists[@]}"; do
  grep -qx "\[$list\]" "$here/packages.txt" || { echo "ensure-packages: no list '$list' in packages.txt" >&2; exit 2; }
done

missing=()
section=""
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  if [[ "$pkg" =~ ^\[(.*)\]$ ]]; then
    section=${BASH_REMATCH[1]}
    continue
  fi
  wanted "$section" || continue
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done < "$here/packages.txt"

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}" >&2
if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Please run as root: apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq >/dev/null
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
