#!/usr/bin/env bash
# A large Frames/ folder on a display with a window manager: 5000 frames,
# damaged files of every kind and a frame whose name is Latin-1. The window
# is painted (frame and caption) while it lists, not black until the end;
# the Latin-1 frame is listed and deleted with real key presses; a second
# copy's hand-over over this folder ends.
#
# usage: listing_test.sh STILLBOX PAINT_FRAMES OUTPUT_DIR
set -euo pipefail
stillbox=$1
paint=$2
E2E_OUT=$3
E2E_NAME=stillbox-listing
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Frames Browser'

mkdir -p "$E2E_WORK/folder/Frames"
cd "$E2E_WORK/folder"
# One picture under 5000 names: what matters is the number of files.
"$paint" solid Frames/frame_00001.bmp 3060a0
python3 -c 'import os
for i in range(2, 5001): os.link("Frames/frame_00001.bmp", "Frames/frame_%05d.bmp" % i)'
"$paint" damaged Frames 700
"$paint" solid latin1.bmp ff00ff
latin1=$(printf 'Frames/caf\xe9.bmp')
mv latin1.bmp "$latin1"

e2e_start "$stillbox"
browser=$E2E_PID
window=$(e2e_wait_window "$title") || fail "no window titled '$title'"
import -window "$window" "$E2E_OUT/while-listing.png"
black=$(convert "$E2E_OUT/while-listing.png" -alpha off -fill white +opaque '#000000' -fill black -opaque '#000000' \
  -negate -format '%[fx:round(100*mean)]' info:)
(( black < 10 )) || fail "the window was ${black}% black while it listed: it listed before it was painted"
note "the window is painted while it lists (${black}% black)"

# "café.bmp" sorts first.
e2e_wait_colour "$window" '#FF00FF' 3000 || fail "the Latin-1 named frame was not listed"
e2e_shot listed
xdotool windowactivate --sync "$window"
e2e_keys End Home Delete
e2e_wait_window 'Delete File' >/dev/null || fail "Delete asked nothing"
e2e_keys Return
e2e_wait_gone 'Delete File' || fail "Return did not answer the confirmation"
for _ in $(seq 1 30); do [[ -e "$latin1" ]] || break; sleep 0.1; done
[[ ! -e "$latin1" ]] || fail "the Latin-1 named file is still on disk"
for _ in $(seq 1 30); do (( $(e2e_colour_pixels "$window" '#FF00FF') == 0 )) && break; sleep 0.1; done
(( $(e2e_colour_pixels "$window" '#FF00FF') == 0 )) || fail "the deleted frame is still shown"
[[ -e Frames/frame_00001.bmp && -e Frames/frame_05000.bmp ]] || fail "other frames went with it"
note "the Latin-1 named frame was listed and deleted"

timeout 60 "$stillbox" || fail "the second copy's hand-over did not end well (status $?)"
e2e_alive "$browser" || fail "the browser ended"
e2e_shot handed-over
note "a hand-over over 5000 frames and 700 damaged files ends"
note "PASS"
