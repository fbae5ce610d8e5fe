#!/usr/bin/env bash
# Builds the Debian packages from the working tree, checks them with lintian,
# and tries them as a packager does: their file lists and dependencies, an
# install into an empty root, the three programs run from it, and a removal
# that leaves the root as it was.
#
# usage: scripts/package.sh [OUT_DIR]   (default out/debian; the .deb, .changes
#                                        and .buildinfo files and the lintian
#                                        report go there)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(mkdir -p "${1:-$top/out/debian}" && cd "${1:-$top/out/debian}" && pwd)

fail() { echo "package: FAIL: $*" >&2; exit 1; }
note() { echo "package: $*"; }
for tool in dpkg-buildpackage dh lintian dpkg-deb apt-get; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/ensure-packages.sh test)"
done

work=$(mktemp -d /tmp/kestrel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The source as the working tree has it (tracked and new files, without the
# build folders and whatever else git ignores).
mkdir "$work/src"
(cd "$top" && git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$work/src"

version=$(cd "$work/src" && dpkg-parsechangelog -S Version)
project_version=$(sed -n 's/^project(kestrel_companion VERSION \([0-9.]*\).*/\1/p' "$work/src/CMakeLists.txt")
[[ "$version" == "$project_version" ]] ||
  fail "debian/changelog says $version, CMakeLists.txt says $project_version"

note "building kestrel-companion $version (log: $out/build.log)"
(cd "$work/src" && DEB_BUILD_OPTIONS="parallel=${KESTREL_PACKAGE_JOBS:-2}" dpkg-buildpackage -us -uc -b) \
  >"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log" >&2; fail "dpkg-buildpackage failed"; }
rm -f "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo
cp "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out/"
player_deb=$(ls "$out"/kestrel-player_*.deb)
stillbox_deb=$(ls "$out"/kestrel-stillbox_*.deb)

# --- lintian: no error and no warning that is not overridden with a reason ---
changes=$(ls "$out"/*.changes)
lintian --info --pedantic --fail-on error,warning "$changes" >"$out/lintian.txt" 2>&1 ||
  { cat "$out/lintian.txt" >&2; fail "lintian found errors or warnings"; }
note "lintian: $(grep -c '^[EW]:' "$out/lintian.txt" || true) errors and warnings, $(grep -c '^[IPX]:' "$out/lintian.txt" || true) notes (report: $out/lintian.txt)"

# --- File lists ---
contents() { dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./|/|'; }
expect_files() {
  local deb=$1 list
  shift
  list=$(contents "$deb")
  for file in "$@"; do
    grep -qx "$file" <<<"$list" || fail "$(basename "$deb") lacks $file"
  done
  ! grep -q '^/usr/local\|^/home\|^/tmp' <<<"$list" || fail "$(basename "$deb") installs outside /usr"
}
expect_files "$player_deb" /usr/bin/player /usr/bin/qrvtool /usr/share/applications/kestrel-player.desktop \
  /usr/share/metainfo/com.orvane.kestrel.player.metainfo.xml /usr/share/mime/packages/kestrel-message.xml \
  /usr/share/thumbnailers/kestrel-message.thumbnailer /usr/share/icons/hicolor/scalable/apps/kestrel-player.svg \
  /usr/share/icons/hicolor/scalable/mimetypes/application-x-kestrel-message.svg \
  /usr/share/man/man1/player.1.gz /usr/share/man/man1/qrvtool.1.gz /usr/share/bash-completion/completions/qrvtool \
  /usr/share/doc/kestrel-player/copyright "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/kestrel/libqrvtool-qt.so" \
  "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/kestrel/libqrvtool-formats.so"
expect_files "$stillbox_deb" /usr/bin/stillbox /usr/share/applications/kestrel-stillbox.desktop \
  /usr/share/metainfo/com.orvane.kestrel.stillbox.metainfo.xml /usr/share/icons/hicolor/scalable/apps/kestrel-stillbox.svg \
  /usr/share/man/man1/stillbox.1.gz /usr/share/doc/kestrel-stillbox/copyright
grep -qx "Exec=/usr/bin/player %f" <(dpkg-deb --fsys-tarfile "$player_deb" | tar -xOf - ./usr/share/applications/kestrel-player.desktop) ||
  fail "the packaged entry does not run /usr/bin/player"
note "file lists complete"

# --- Dependencies: what the programs load, and what they start ---
field() { dpkg-deb -f "$1" "$2"; }
for lib in libqt6widgets6 libqt6network6 libpulse0 libgsm1 libsndfile1 libsoxr0 qt6-qpa-plugins; do
  grep -q "\b$lib\b" <<<"$(field "$player_deb" Depends)" || fail "kestrel-player does not depend on $lib"
done
for lib in libqt6widgets6 libqt6network6 qt6-qpa-plugins; do
  grep -q "\b$lib\b" <<<"$(field "$stillbox_deb" Depends)" || fail "kestrel-stillbox does not depend on $lib"
done
[[ "$(field "$player_deb" Recommends)" == "pavucontrol, ffmpeg" ]] ||
  fail "kestrel-player recommends '$(field "$player_deb" Recommends)'"
# Installable on a clean system of this Debian release: apt, told that
# nothing is installed, resolves every dependency from the archive.
touch "$work/empty-status"
apt-get -o Dir::State::status="$work/empty-status" install --simulate --no-install-recommends \
  "$player_deb" "$stillbox_deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt cannot install the packages"; }
note "dependencies resolve on an empty system: $(grep -c '^Inst' "$work/apt.log") packages with these two"

# --- Installed into an empty root, run from there, and removed again ---
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
as_user=()
[[ $(id -u) -eq 0 ]] || as_user=(--force-not-root)
# The root holds no libraries: they come from this system, as the dependency check above showed apt would.
dpkg --root="$root" "${as_user[@]}" --force-depends -i "$player_deb" "$stillbox_deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg could not install the packages into an empty root"; }
for program in player stillbox qrvtool; do
  printed=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$root/usr/bin/$program" --version 2>&1) ||
    fail "$program --version failed ($?): $printed"
  grep -qF "$version" <<<"$printed" || fail "$program --version printed: $printed"
  note "$program --version: $(head -n1 <<<"$printed")"
done
"$root/usr/bin/qrvtool" info "$top/samples/demo.qrv" >/dev/null || fail "the packaged qrvtool cannot read the demo message"
# JSON and digests go through qrvtool's modules, which the program finds in the root beside it.
"$root/usr/bin/qrvtool" info --json "$top/samples/demo.qrv" >/dev/null ||
  fail "the packaged qrvtool cannot load its Qt module"
"$root/usr/bin/qrvtool" decode --md5 "$top/samples/demo.qrv" >/dev/null ||
  fail "the packaged qrvtool cannot load its format libraries module"
dpkg --root="$root" "${as_user[@]}" --purge kestrel-player kestrel-stillbox >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg could not remove the packages"; }
left=$(find "$root" -mindepth 1 -not -path "$root/var/lib/dpkg*" -not -path "$root/var/lib" -not -path "$root/var")
[[ -z "$left" ]] || fail "removing the packages left: $left"
note "installed into an empty root, ran, and removed without a trace"
note "PASS: $(basename "$player_deb") $(basename "$stillbox_deb") in $out"
