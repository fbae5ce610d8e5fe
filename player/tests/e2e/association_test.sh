#!/usr/bin/env bash
# The .qrv association of a real player process in temporary XDG folders:
# registered on the first start (type, desktop entry, default handler), then
# left alone; and never written where *.qrv is already known as another type.
# Runs on the offscreen platform: no display or sound server needed.
#
# usage: association_test.sh PLAYER
set -euo pipefail
player=$1

fail() { echo "association_test: FAIL: $*" >&2; exit 1; }
note() { echo "association_test: $*"; }
command -v update-mime-database >/dev/null || fail "update-mime-database is not installed (shared-mime-info)"

work=$(mktemp -d /tmp/player-association.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen
# Only the system's own MIME data besides the test's.
export XDG_DATA_DIRS=/usr/share

# Starts a player (its id in $pid) in the home $1 and waits until its start-up has passed the
# registration: it listens for later copies only after it.
start_in() {
  local home=$1
  mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
  XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
    "$player" 2>"$home/player.log" &
  pid=$!
  pids+=("$pid")
  for _ in $(seq 1 100); do
    if compgen -G "$home/runtime/*.socket" >/dev/null; then return 0; fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# --- First start in an empty home: registered ---
home="$work/first"
start_in "$home" || fail "the player did not start: $(cat "$home/player.log")"
entry="$home/data/applications/kestrel-player.desktop"
[[ -f "$entry" ]] || fail "no desktop entry written"
program=$(readlink -f "$player")
grep -qx "Exec=$program %f" "$entry" && grep -qx "TryExec=$program" "$entry" ||
  fail "the desktop entry does not run this player: $(grep 'Exec=' "$entry")"
grep -q '^application/x-kestrel-message=kestrel-player.desktop;' "$home/data/applications/mimeinfo.cache" ||
  fail "the desktop database was not refreshed"
grep -q 'application/x-kestrel-message:\*\.qrv' "$home/data/mime/globs2" || fail "*.qrv is not in the MIME database"
grep -qx 'application/x-kestrel-message=kestrel-player.desktop' "$home/config/mimeapps.list" ||
  fail "the player is not the default handler"
if command -v gio >/dev/null; then
  printf 'QRV01.01\0\0\0\0\0' >"$work/probe.qrv"
  type=$(XDG_DATA_HOME="$home/data" gio info -a standard::content-type "$work/probe.qrv" 2>/dev/null |
    awk '/content-type/ {print $2}')
  [[ "$type" == application/x-kestrel-message ]] || fail "the desktop sees a .qrv file as '$type'"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
note "registered on the first start"

# --- Second start in the same home: left alone ---
touch -d '2001-01-01' "$entry" "$home/config/mimeapps.list"
start_in "$home" || fail "the second start failed: $(cat "$home/player.log")"
[[ "$(stat -c %Y "$entry")" == "$(date -d 2001-01-01 +%s)" ]] || fail "the second start rewrote the desktop entry"
[[ "$(stat -c %Y "$home/config/mimeapps.list")" == "$(date -d 2001-01-01 +%s)" ]] || fail "the second start rewrote mimeapps.list"
kill "$pid"
wait "$pid" 2>/dev/null || true
note "left alone on the next start"

# --- *.qrv already known as another program's type: nothing written ---
home="$work/taken"
mkdir -p "$home/data/mime/packages" "$home/config"
cat >"$home/data/mime/packages/other.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-other-recording">
    <comment>Another program's recording</comment>
    <glob pattern="*.qrv"/>
  </mime-type>
</mime-info>
XML
update-mime-database "$home/data/mime" 2>/dev/null
printf '[Default Applications]\napplication/x-other-recording=other.desktop\n' >"$home/config/mimeapps.list"
start_in "$home" || fail "the player did not start beside another type: $(cat "$home/player.log")"
[[ ! -e "$home/data/applications/kestrel-player.desktop" ]] || fail "a desktop entry was written over another type"
[[ ! -e "$home/data/mime/packages/kestrel-message.xml" ]] || fail "a MIME package was written over another type"
[[ "$(cat "$home/config/mimeapps.list")" == $'[Default Applications]\napplication/x-other-recording=other.desktop' ]] ||
  fail "mimeapps.list was changed"
kill "$pid"
wait "$pid" 2>/dev/null || true
note "an existing association is left alone"
note "PASS"
