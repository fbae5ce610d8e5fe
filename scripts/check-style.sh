#!/usr/bin/env bash
# The tree's style: every tracked C++ file laid out as .clang-format says, and
# the C++ files of a change free of .clang-tidy's findings.
#
# usage: check-style.sh [--format-only] [--all | --base REV]
#
#   (default)     clang-tidy on the C++ sources changed by the last commit
#                 and by the uncommitted change
#   --base REV    clang-tidy on the C++ sources changed since REV
#   --all         clang-tidy on every C++ source the build compiles
#   --format-only the layout only (no build folder needed)
#
# clang-tidy reads the compile commands of the build folder (build/, or
# KESTREL_BUILD_DIR), so configure and build first; it runs on two files at a
# time (KESTREL_TIDY_JOBS). A changed header is checked through the sources
# that include it. Exits 1 on any finding.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${KESTREL_BUILD_DIR:-$top/build}"
cd "$top"

format_only=false
mode=change
base=HEAD~1
while (($#)); do
  case "$1" in
    --format-only) format_only=true ;;
    --all) mode=all ;;
    --base)
      mode=change
      base="${2:?--base needs a revision}"
      shift
      ;;
    *)
      echo "usage: check-style.sh [--format-only] [--all | --base REV]" >&2
      exit 2
      ;;
  esac
  shift
done

echo "-- clang-format: every tracked C++ file"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
$format_only && exit 0

if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "check-style: no $build/compile_commands.json; build first (./scripts/build.sh)" >&2
  exit 2
fi

# The sources the build compiles, without the files Qt's tools generate.
mapfile -t compiled < <(python3 - "$build/compile_commands.json" "$top" <<'PY'
import json, os, sys
top = os.path.realpath(sys.argv[2])
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(top + os.sep) and "_autogen" not in path and "/qrc_" not in path and path not in seen:
        seen.add(path)
        print(os.path.relpath(path, top))
PY
)

if [[ $mode == change ]] && ! git rev-parse --verify -q "$base^{commit}" >/dev/null; then
  echo "check-style: no revision $base to compare with (a shallow clone?); use --base REV or --all" >&2
  exit 2
fi

if [[ $mode == all ]]; then
  files=("${compiled[@]}")
  echo "-- clang-tidy: all ${#files[@]} compiled sources"
else
  # Changed since the base, committed or not; a header stands for the
  # compiled sources that include it by name.
  mapfile -t changed < <({ git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h'
                           git ls-files --others --exclude-standard -- '*.cpp' '*.h'; } | sort -u)
  declare -A wanted=()
  for file in "${changed[@]}"; do
    [[ -n $file ]] || continue
    if [[ $file == *.h ]]; then
      name=$(basename "$file")
      for source in "${compiled[@]}"; do
        if grep -qE "#include [\"<]([^\">]*/)?${name//./\\.}[\">]" "$source"; then
          wanted[$source]=1
          break
        fi
      done
    else
      for source in "${compiled[@]}"; do
        [[ $source == "$file" ]] && wanted[$source]=1
      done
    fi
  done
  files=("${!wanted[@]}")
  echo "-- clang-tidy: ${#files[@]} compiled sources changed since $base"
fi
((${#files[@]})) || exit 0
printf '%s\0' "${files[@]}" |
  xargs -0 -n 1 -P "${KESTREL_TIDY_JOBS:-2}" clang-tidy -p "$build" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)
echo "-- style: clean"
