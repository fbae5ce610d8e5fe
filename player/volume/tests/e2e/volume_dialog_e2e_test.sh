#!/usr/bin/env bash
# The volume dialog in the real player on a real X server with the private
# sound server: the Volume button opens the dialog beside the main window and
# latches; the dialog's close request hides it and unlatches the button.
# A screenshot of the dialog is left in OUTPUT_DIR.
#
# usage: volume_dialog_e2e_test.sh PLAYER PROBE CLOSE_REQUEST DEMO OUTPUT_DIR
set -euo pipefail
player=$1
probe=$2
close_request=$3
demo=$4
output=$5

fail() {
  echo "volume_dialog_e2e: FAIL: $*" >&2
  if [[ -s "${work:-}/player.log" ]]; then
    echo "--- the player's output:" >&2
    cat "$work/player.log" >&2
  fi
  exit 1
}

[[ -n "${DISPLAY:-}" ]] || fail "DISPLAY is not set; this test needs an X server (test.sh starts Xvfb and exports DISPLAY)"
[[ -n "${PULSE_SERVER:-}" ]] || fail "PULSE_SERVER is not set; this test needs the private sound server of scripts/test-services.sh"
for tool in xdotool import convert compare xdpyinfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
xdpyinfo >/dev/null 2>&1 || fail "cannot reach the X server at DISPLAY=$DISPLAY"

work=$(mktemp -d /tmp/volume-e2e.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Its own runtime, data and configuration folders: no other player is met
# and the user's file associations are left alone.
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$output"
export QT_QPA_PLATFORM=xcb

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true; }
wait_for_window() {
  for _ in $(seq 1 100); do
    local id
    id=$(visible_window "$1")
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
wait_until_gone() {
  for _ in $(seq 1 50); do
    [[ -z "$(visible_window "$1")" ]] && return 0
    sleep 0.1
  done
  return 1
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$X $Y $WIDTH $HEIGHT"; }
# The pointer rests away from every button, so that none shows its hot look.
rest_pointer() { xdotool mousemove 1270 1010; sleep 0.3; }
button_shot() { import -window "$main" -crop "${bw}x${bh}+${bx}+${by}" +repage "$work/$1.png"; }
differing_pixels() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true; }

read -r bx by bw bh < <("$probe") || fail "the layout probe printed nothing"
# The sink as the other tests expect to find it: full volume, not muted.
pactl set-sink-volume @DEFAULT_SINK@ 100% && pactl set-sink-mute @DEFAULT_SINK@ 0 ||
  fail "cannot reach the sound server at PULSE_SERVER=$PULSE_SERVER"

"$player" "$demo" >"$work/player.log" 2>&1 & pids+=($!)
main=$(wait_for_window '^Kestrel Message Player') || {
  kill -0 "${pids[0]}" 2>/dev/null || fail "the player ended without a window"
  fail "no main window appeared; windows now: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
}
read -r mx my mw mh < <(geometry "$main")
rest_pointer
button_shot unlatched

xdotool mousemove $((mx + bx + bw / 2)) $((my + by + bh / 2)) click 1
rest_pointer
dialog=$(wait_for_window '^Audio Volume Controls$') || fail "the Volume button did not open the dialog"
read -r dx dy dw dh < <(geometry "$dialog")
(( dx >= mx + mw )) || fail "the dialog at x=$dx is not beside the main window (which ends at $((mx + mw)))"
(( dy == my )) || fail "the dialog's top $dy is not the main window's top $my"
# The demo is speech with pauses: wait for a reading that lights the meter's
# green bottom slot, and keep that picture.
lit=0
for _ in $(seq 1 50); do
  import -window "$dialog" "$work/dialog.png"
  if (( $(convert "$work/dialog.png" -alpha off -fill black +opaque '#00FF00' -fill white -opaque '#00FF00' \
          -format '%[fx:round(mean*w*h)]' info:) > 0 )); then lit=1; break; fi
  sleep 0.1
done
cp "$work/dialog.png" "$output/volume_dialog.png"
(( lit )) || fail "the level meter showed nothing while the demo played"
button_shot latched
[[ "$(differing_pixels unlatched latched)" != 0 ]] || fail "the Volume button did not latch"

"$close_request" "$dialog" || fail "could not send the close request"
wait_until_gone '^Audio Volume Controls$' || fail "the close request did not hide the dialog"
kill -0 "${pids[0]}" 2>/dev/null || fail "the player ended"
rest_pointer
button_shot closed
[[ "$(differing_pixels unlatched closed)" == 0 ]] || fail "the Volume button did not unlatch when the dialog closed"

# Opened again by the button, and the button hides it as well.
xdotool mousemove $((mx + bx + bw / 2)) $((my + by + bh / 2)) click 1
wait_for_window '^Audio Volume Controls$' >/dev/null || fail "the Volume button did not open the dialog again"
xdotool click 1
wait_until_gone '^Audio Volume Controls$' || fail "the latched Volume button did not hide the dialog"
echo "volume_dialog_e2e: PASS (screenshot in $output/volume_dialog.png)"
