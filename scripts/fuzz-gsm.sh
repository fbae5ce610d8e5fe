#!/usr/bin/env bash
# Builds libgsm from its Debian source package with the fuzz build's compiler
# flags, so that the sound decoder is fuzzed with coverage feedback and under
# the sanitizers; the normal build keeps the system library. Writes
# DIR/include/gsm.h and DIR/lib/libgsm.a, and keeps them: a second run with
# the same version and flags only prints the paths.
#
# The source package comes through a private apt setup under DIR/apt with one
# deb-src line for the archive, release and component the installed libgsm1
# came from, so the machine's own apt configuration is neither read for
# sources nor changed. The version is the installed one.
#
# usage: scripts/fuzz-gsm.sh DIR FLAGS...
set -euo pipefail
dir=$(mkdir -p "$1" && cd "$1" && pwd)
shift
flags="$*"

version=$(dpkg-query -W -f='${source:Version}' libgsm1 2>/dev/null || true)
[[ -n "$version" ]] || { echo "fuzz-gsm: libgsm1 is not installed (scripts/ensure-packages.sh)" >&2; exit 1; }
stamp="libgsm $version $flags -fno-sanitize=shift-base"
if [[ -f "$dir/lib/libgsm.a" && -f "$dir/include/gsm.h" && "$(cat "$dir/stamp" 2>/dev/null)" == "$stamp" ]]; then
  exit 0
fi
for tool in apt-get dpkg-source make; do
  command -v "$tool" >/dev/null || { echo "fuzz-gsm: $tool is missing (scripts/ensure-packages.sh)" >&2; exit 1; }
done

# "http://deb.debian.org/debian bookworm/main" from the line of the installed
# version; Debian 12's archive if apt knows no such line.
origin=$(apt-cache madison libgsm1 2>/dev/null | awk -F' [|] ' -v v="$version" '$2 == v { print $3; exit }')
read -r archive suite_component _ <<<"${origin:-http://deb.debian.org/debian bookworm/main}"
suite=${suite_component%%/*}
component=${suite_component#*/}
[[ "$component" != "$suite_component" ]] || component=main

apt_dir="$dir/apt"
rm -rf "$apt_dir" "$dir/src"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$dir/src"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $suite $component" \
  >"$apt_dir/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root" -qq
)
echo "fuzz-gsm: fetching the source of libgsm $version from $archive $suite $component"
apt-get "${apt_options[@]}" update
(cd "$dir/src" && apt-get "${apt_options[@]}" --only-source source "libgsm=$version" >/dev/null)
source_dir=$(find "$dir/src" -mindepth 1 -maxdepth 1 -type d -name 'libgsm-*' | head -n1)
[[ -n "$source_dir" ]] || { echo "fuzz-gsm: the source package did not unpack" >&2; exit 1; }

# The library's objects as Debian builds them (signed shifts, WAV49 packing,
# the float multiply it uses on x86), with the fuzz build's instrumentation.
# The library shifts negative values left by design (every frame's RPE
# samples: (2 xMc - 7) << 12), which both compilers do as two's complement;
# that one check is left out, every other stays.
echo "fuzz-gsm: building libgsm with the fuzz build's flags"
make -C "$source_dir" -j2 --no-print-directory CC=clang \
  CCFLAGS="-c -O2 -g -fPIC -DNeedFunctionPrototypes=1 -D_GNU_SOURCE -D_REENTRANT $flags -fno-sanitize=shift-base" \
  MULHACK=-DUSE_FLOAT_MUL ./lib/libgsm.a >"$dir/build.log" 2>&1 ||
  { tail -n 30 "$dir/build.log" >&2; exit 1; }
mkdir -p "$dir/include" "$dir/lib"
cp "$source_dir/inc/gsm.h" "$dir/include/"
cp "$source_dir/lib/libgsm.a" "$dir/lib/"
echo "$stamp" >"$dir/stamp"
