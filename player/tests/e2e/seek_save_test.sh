#!/usr/bin/env bash
# Seeking and Save Frame on the real player, with real clicks and key presses
# on a display with a window manager: Home, Right and Left move the picture to
# the start, 5 s on and back; a click on the progress strip moves to the time
# under the pointer, a drag shows that time while dragging and moves there on
# release; Ctrl+S saves the picture on screen through the "Save Frame As..."
# dialog under the name it offers or one typed, as the picture the message
# holds at that time; the frames browser lists the saved frame.
#
# usage: seek_save_test.sh PLAYER QRVTOOL STILLBOX SAMPLES_DIR OUTPUT_DIR
set -euo pipefail
player=$1
qrvtool=$2
stillbox=$3
samples=$4
E2E_OUT=$5
E2E_NAME=player-seek-save
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Message Player'
band='#00FF00'

folder="$E2E_WORK/folder"
mkdir -p "$folder/Frames"
cd "$folder"
# Ten seconds at five pictures a second.
cp "$samples/demo.qrv" demo-message.qrv
"$qrvtool" decode demo-message.qrv --png "$E2E_WORK/pictures" >/dev/null
mapfile -t pictures < <(ls "$E2E_WORK/pictures"/*.png | sort)
(( ${#pictures[@]} == 50 )) || fail "qrvtool decoded ${#pictures[@]} pictures, not 50"

# The number of the message's picture that bitmap $1 shows exactly; -1 if none.
picture_of() {
  local i
  for i in "${!pictures[@]}"; do
    if [[ "$(compare -metric AE "$1" "${pictures[i]}" null: 2>&1 | cut -d' ' -f1)" == 0 ]]; then
      echo "$i"
      return
    fi
  done
  echo -1
}
window_shot() { import -window "$window" "$E2E_WORK/$1.png" 2>/dev/null; }
same_shots() { [[ "$(compare -metric AE "$E2E_WORK/$1.png" "$E2E_WORK/$2.png" null: 2>&1 | cut -d' ' -f1)" == 0 ]]; }
# Ctrl+S, then in the save dialog the name $1 typed over the one offered
# (none: the one offered) and Return; waits until the dialog has gone.
save_frame() {
  xdotool windowactivate --sync "$window"
  e2e_keys ctrl+s
  e2e_wait_window 'Save Frame As...' >/dev/null || fail "Ctrl+S did not open the Save Frame As... dialog"
  [[ -n "${shot_dialog:-}" ]] && e2e_shot "$shot_dialog"
  [[ -n "${1:-}" ]] && xdotool type --delay 40 "$1"
  e2e_keys Return
  e2e_wait_gone 'Save Frame As...' || fail "the Save Frame As... dialog stayed"
}
wait_file() {
  for _ in $(seq 1 50); do [[ -s "$1" ]] && return 0; sleep 0.1; done
  fail "$1 was not written"
}

e2e_start "$player" demo-message.qrv
pid=$E2E_PID
window=$(e2e_wait_window "$title - demo-message.qrv") || fail "the player did not open demo-message.qrv"
xdotool windowactivate --sync "$window"
xdotool mousemove 0 0
# The progress band shows while it plays: the strip is where the band is.
e2e_wait_colour "$window" "$band" 20 || fail "no progress band while playing"
window_shot playing
# Above the picture (which may hold the same green): the top quarter.
read -r band_w band_h band_x band_y < <(convert "$E2E_WORK/playing.png" -crop "100%x25%+0+0" +repage -alpha off \
  -fill black +opaque "$band" -fill white -opaque "$band" -trim -format '%w %h %X %Y\n' info: | tr -d '+')
(( band_h < 30 )) || fail "the band is $band_w x $band_h, not a strip"
strip_y=$((band_y + band_h / 2))
window_w=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
# The strip is centred in the window.
centre_x=$((window_w / 2))

# Paused, Home shows the first picture and Ctrl+S saves it under the name
# offered: the message's name and the time.
e2e_keys space Home
window_shot home
e2e_shot home
shot_dialog=save-dialog save_frame
shot_dialog=
wait_file demo-message-00m00.0s.bmp
[[ "$(picture_of demo-message-00m00.0s.bmp)" == 0 ]] || fail "the frame saved at the start is not the first picture"
note "Home, then Ctrl+S and Return: demo-message-00m00.0s.bmp holds picture 0"

e2e_keys Right
e2e_shot right
save_frame
wait_file demo-message-00m05.0s.bmp
[[ "$(picture_of demo-message-00m05.0s.bmp)" == 25 ]] || fail "the frame saved 5 s on is not picture 25"
note "Right, then Ctrl+S: demo-message-00m05.0s.bmp holds picture 25"
e2e_keys Left
window_shot left
same_shots home left || fail "Left from 5 s does not show what Home showed"
note "Left goes back to the start"

# A click in the middle of the strip: the middle of the message.
xdotool mousemove --window "$window" "$centre_x" "$strip_y" click 1
sleep 0.5
xdotool mousemove 0 0
e2e_shot clicked
save_frame Frames/middle.bmp
wait_file Frames/middle.bmp
middle=$(picture_of Frames/middle.bmp)
(( middle >= 24 && middle <= 26 )) || fail "a click in the middle of the strip shows picture $middle, not one at 5 s"
note "a click in the middle of the strip moves to picture $middle"

# A drag to the left: the time under the pointer while dragging, the move on
# release.
xdotool mousemove --window "$window" "$centre_x" "$strip_y" mousedown 1
for step in 20 40 60 80 100; do
  xdotool mousemove --window "$window" $((centre_x - step)) "$strip_y"
  sleep 0.1
done
sleep 0.4
window_shot dragging
e2e_shot dragging
same_shots clicked dragging && fail "nothing changed while dragging"
xdotool mouseup 1
sleep 0.5
xdotool mousemove 0 0
e2e_shot dropped
save_frame Frames/dropped.bmp
wait_file Frames/dropped.bmp
dropped=$(picture_of Frames/dropped.bmp)
(( dropped >= 0 && dropped < middle )) || fail "the drag to the left shows picture $dropped"
note "a drag to the left moves to picture $dropped on release"
e2e_alive "$pid" || fail "the player ended"

# The frames browser lists the saved frames: chosen, a frame's picture shows
# at its natural size in the preview.
read -r count colour < <(convert Frames/middle.bmp -format %c histogram:info:- | sort -rn | head -n1 |
  sed -n 's/^ *\([0-9]*\):.*\(#[0-9A-F]\{6\}\).*/\1 \2/p')
e2e_start "$stillbox"
browser=$(e2e_wait_window 'Kestrel Frames Browser') || fail "the frames browser did not start"
xdotool windowactivate --sync "$browser"
e2e_keys End
e2e_wait_colour "$browser" "$colour" "$count" || fail "the frames browser does not show middle.bmp"
e2e_shot browser
note "the frames browser lists and shows the saved frames"
note "PASS"
