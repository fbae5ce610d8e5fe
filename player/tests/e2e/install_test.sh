#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the programs, the desktop entry,
# the MIME package, the icons and a thumbnailer that works sandboxed; and
# `player --help`, which needs no display.
#
# usage: install_test.sh BUILD_DIR SAMPLES_DIR
set -euo pipefail
build=$1
samples=$2

fail() { echo "install_test: FAIL: $*" >&2; exit 1; }
note() { echo "install_test: $*"; }

work=$(mktemp -d /tmp/player-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed: $(cat "$work/install.log")"

for file in bin/player bin/qrvtool share/applications/kestrel-player.desktop \
  share/mime/packages/kestrel-message.xml share/thumbnailers/kestrel-message.thumbnailer \
  share/icons/hicolor/32x32/apps/kestrel-player.png share/icons/hicolor/256x256/apps/kestrel-player.png \
  share/icons/hicolor/48x48/mimetypes/application-x-kestrel-message.png; do
  [[ -e "$prefix/$file" ]] || fail "$file was not installed"
done
entry="$prefix/share/applications/kestrel-player.desktop"
grep -qx "Exec=$prefix/bin/player %f" "$entry" || fail "the desktop entry does not run the installed player"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the desktop entry is not valid"
fi
if command -v update-mime-database >/dev/null; then
  grep -q 'application/x-kestrel-message:\*\.qrv' "$prefix/share/mime/globs2" || fail "the installed MIME database lacks *.qrv"
fi
note "files installed"

# The thumbnailer as a file manager runs it: its Exec line with %i %o %s,
# with no display and nothing but the output file written.
thumbnailer="$prefix/share/thumbnailers/kestrel-message.thumbnailer"
grep -qx 'MimeType=application/x-kestrel-message;' "$thumbnailer" || fail "the thumbnailer names no MIME type"
exec_line=$(sed -n 's/^Exec=//p' "$thumbnailer")
command=${exec_line//%i/$samples/demo.qrv}
command=${command//%o/$work/thumb.png}
command=${command//%s/128}
mkdir "$work/empty-home"
(cd "$work/empty-home" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/empty-home" $command) ||
  fail "the thumbnailer failed: $command"
[[ "$(head -c 8 "$work/thumb.png" | od -An -t x1 | tr -d ' \n')" == 89504e470d0a1a0a ]] || fail "the thumbnail is not a PNG"
[[ -z "$(ls -A "$work/empty-home")" ]] || fail "the thumbnailer wrote more than its output: $(ls -A "$work/empty-home")"
note "the thumbnailer draws a PNG"

help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/player" --help) || fail "player --help failed"
[[ "$help" == usage:\ player* ]] || fail "player --help printed: $help"
note "player --help prints its usage"
note "PASS"
