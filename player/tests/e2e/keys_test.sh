#!/usr/bin/env bash
# The player from the keyboard, on a display with a window manager and with
# real key presses: Escape and Return close neither the main window nor the
# About box; in the Open dialog the completion list takes Return and opens
# the file it offers; Space pauses and resumes.
#
# usage: keys_test.sh PLAYER SAMPLES_DIR OUTPUT_DIR
set -euo pipefail
player=$1
samples=$2
E2E_OUT=$3
E2E_NAME=player-keys
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Message Player'

mkdir -p "$E2E_WORK/folder"
cd "$E2E_WORK/folder"
cp "$samples/demo.qrv" demo-message.qrv

e2e_start "$player"
pid=$E2E_PID
window=$(e2e_wait_window "$title") || fail "no window titled '$title'"
xdotool windowactivate --sync "$window"

still_running() {
  e2e_alive "$pid" || fail "the player ended $1"
  [[ -n "$(xdotool search --onlyvisible --name "^$title" 2>/dev/null)" ]] || fail "the main window closed $1"
}

e2e_keys Escape Return KP_Enter
still_running "after Escape and Return in its main window"
note "Escape and Return leave the main window open"

# Help > About by its mnemonics.
e2e_keys alt+h a
about=$(e2e_wait_window 'About Message Player') || fail "Alt+H, A did not open the About box"
e2e_keys Escape Return KP_Enter
[[ -n "$(e2e_windows_named 'About Message Player')" ]] || fail "Escape or Return closed the About box"
e2e_shot about
xdotool windowactivate --sync "$about"
e2e_keys alt+F4
e2e_wait_gone 'About Message Player' || fail "the About box did not close with its close box"
still_running "with its About box"
note "Escape and Return leave the About box open"

# File > Open: the start of a name makes the completion list offer the file;
# Return there takes it, and Return in the dialog opens it.
e2e_keys alt+f o
e2e_wait_window 'Open Kestrel Message...' >/dev/null || fail "Alt+F, O did not open the Open dialog"
xdotool type --delay 80 'demo-m'
e2e_wait_popup "$pid" >/dev/null || fail "the file name offered no completion"
e2e_shot open-completion
e2e_keys Down Return
e2e_wait_no_popup "$pid" || fail "Return did not take the completion"
e2e_shot open-completed
e2e_keys Return
e2e_wait_window "$title - demo-message.qrv" >/dev/null || fail "Return in the Open dialog did not open demo-message.qrv"
e2e_wait_gone 'Open Kestrel Message...' || fail "the Open dialog stayed"
note "the completion list and the Open dialog take Return"

# Space pauses and resumes: the picture stops and moves again.
changes() {
  import -window "$window" "$E2E_WORK/a.png"
  sleep 0.8
  import -window "$window" "$E2E_WORK/b.png"
  compare -metric AE "$E2E_WORK/a.png" "$E2E_WORK/b.png" null: 2>&1 || true
}
xdotool windowactivate --sync "$window"
(( $(changes) > 0 )) || fail "the message does not play after opening"
e2e_keys space
(( $(changes) == 0 )) || fail "Space did not pause"
e2e_shot paused
e2e_keys space
(( $(changes) > 0 )) || fail "Space did not resume"
e2e_keys Escape Return
still_running "after Escape and Return while playing"
note "Space pauses and resumes"
note "PASS"
