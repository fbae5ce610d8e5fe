#!/usr/bin/env bash
# The player as a person uses it, on a real X server and sound server: a
# message given on the command line opens, is heard at the sink's monitor and
# plays to its end, when the Play/Pause button shows Play again; a newer
# player closes the running one and plays its own file; a file with a bad
# header is reported and leaves an empty player.
#
# usage: play_test.sh PLAYER SAMPLES_DIR PICTURES_DIR OUTPUT_DIR
set -euo pipefail
player=$1
samples=$2
pictures=$3
E2E_OUT=$4
E2E_NAME=play_test
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Message Player'
blue='#1E5AC8'  # the face of the transport icons

[[ -n "${PULSE_SERVER:-}" && -n "${KESTREL_TEST_SINK:-}" ]] ||
  fail "PULSE_SERVER or KESTREL_TEST_SINK is not set; this test needs the sound server of scripts/test-services.sh"
for tool in parec pactl od; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
pactl info >/dev/null 2>&1 || fail "cannot reach the sound server at PULSE_SERVER=$PULSE_SERVER"
# No user's association is touched.
export XDG_DATA_DIRS=/usr/share

blue_pixels() {
  convert "$1" -alpha off -fill black +opaque "$blue" -fill white -opaque "$blue" -format '%[fx:round(mean*w*h)]' info:
}
play_blue=$(blue_pixels "$pictures/icon131.png")
pause_blue=$(blue_pixels "$pictures/icon132.png")

# The blue of the Play/Pause button's icon in a screenshot of the window. The
# buttons sit in the band where the Stop icon's blue begins, the Play/Pause
# button in the first 40 of the 245 dialog units across.
button_blue() {
  local shot="$E2E_WORK/shot.png" width height stop_top
  import -window "$1" "$shot" 2>/dev/null || { echo -1; return; }
  width=$(convert "$shot" -format '%w' info:)
  height=$(convert "$shot" -format '%h' info:)
  stop_top=$(convert "$shot" -crop "$((width * 32 / 245))x${height}+$((width * 41 / 245))+0" +repage \
    -alpha off -fill black +opaque "$blue" -fill white -opaque "$blue" -trim -format '%Y' info: 2>/dev/null |
    tr -d '+')
  [[ -n "$stop_top" ]] || { echo -1; return; }
  convert "$shot" -crop "$((width * 40 / 245))x40+0+$((stop_top - 4))" +repage "$E2E_WORK/button.png"
  blue_pixels "$E2E_WORK/button.png"
}

wait_for_button() {
  local want=$2 seconds=$3
  for _ in $(seq 1 $((seconds * 5))); do
    [[ "$(button_blue "$1")" == "$want" ]] && return 0
    sleep 0.2
  done
  return 1
}

# Peak of the recorded sound from byte $2 on.
peak_after() {
  tail -c +"$(($2 + 1))" "$1" | od -An -v -t d2 -w2 | awk '{v = $1 < 0 ? -$1 : $1; if (v > m) m = v} END {print m + 0}'
}

wait_for_sound() {
  for _ in $(seq 1 50); do
    (( $(peak_after "$1" "$2") > 1000 )) && return 0
    sleep 0.1
  done
  return 1
}

e2e_start parec -d "$KESTREL_TEST_SINK.monitor" --format=s16le --rate=8000 --channels=1 --raw >"$E2E_WORK/heard.raw"
sleep 0.3

# --- A message from the command line plays to its end ---
e2e_start "$player" "$samples/demo.qrv" 2>"$E2E_OUT/demo.log"
first=$E2E_PID
window=$(e2e_wait_window "$title - demo.qrv") || fail "no window titled '$title - demo.qrv'"
wait_for_sound "$E2E_WORK/heard.raw" 0 || fail "no sound reached the sink's monitor"
note "window '$title - demo.qrv' shown and sound heard"
wait_for_button "$window" "$pause_blue" 3 || fail "the Play/Pause button does not show Pause while playing"
import -window "$window" "$E2E_OUT/demo-playing.png"

wait_for_button "$window" "$play_blue" 20 || fail "the Play/Pause button did not return to Play at the end"
import -window "$window" "$E2E_OUT/demo-ended.png"
e2e_alive "$first" || fail "the player ended with its message"
note "the message played to its end and the button shows Play"

# --- A newer player closes the running one and plays its own file ---
mark=$(stat -c %s "$E2E_WORK/heard.raw")
e2e_start "$player" "$samples/voice.qrv" 2>"$E2E_OUT/voice.log"
second=$E2E_PID
for _ in $(seq 1 100); do e2e_alive "$first" || break; sleep 0.1; done
e2e_alive "$first" && fail "the first player is still running after the second started"
wait "$first" || fail "the first player ended with status $?"
window=$(e2e_wait_window "$title - voice.qrv") || fail "the second player shows no window titled '$title - voice.qrv'"
wait_for_sound "$E2E_WORK/heard.raw" "$mark" || fail "the second player's sound was not heard"
count=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)
(( count == 1 )) || fail "expected one player window after the hand-over, found $count"
import -window "$window" "$E2E_OUT/voice-playing.png"
note "the newer player closed the first and plays voice.qrv"

# --- A file with a bad header: the message, then an empty player ---
printf 'QRV01.99 not a message' >"$E2E_WORK/bad.qrv"
e2e_start "$player" "$E2E_WORK/bad.qrv" 2>"$E2E_OUT/bad.log"
third=$E2E_PID
for _ in $(seq 1 100); do e2e_alive "$second" || break; sleep 0.1; done
e2e_alive "$second" && fail "the second player is still running after the third started"
box=""
for _ in $(seq 1 100); do
  # Two windows carry the bare title: the main window and the message box.
  mapfile -t named < <(e2e_windows_named "$title")
  if (( ${#named[@]} >= 2 )); then box=yes; break; fi
  sleep 0.1
done
[[ -n "$box" ]] || fail "no message box over the player for the bad file"
import -window root "$E2E_OUT/bad-message.png"
# The box is the smaller of the two.
smallest="" smallest_area=0
for id in "${named[@]}"; do
  eval "$(xdotool getwindowgeometry --shell "$id")"
  area=$((WIDTH * HEIGHT))
  if [[ -z "$smallest" ]] || (( area < smallest_area )); then smallest=$id; smallest_area=$area; fi
done
xdotool windowfocus --sync "$smallest" 2>/dev/null || true
xdotool key Return
for _ in $(seq 1 50); do
  mapfile -t named < <(e2e_windows_named "$title")
  (( ${#named[@]} == 1 )) && break
  sleep 0.1
done
(( ${#named[@]} == 1 )) || fail "the message box did not close with Return"
e2e_alive "$third" || fail "the player ended after the bad file"
wait_for_button "${named[0]}" "$play_blue" 3 || fail "the empty player does not show Play"
import -window "${named[0]}" "$E2E_OUT/bad-empty.png"
note "the bad file was reported and the player stays empty"
note "PASS"
