#!/usr/bin/env bash
# The painted controls in the real programs, on an X server of its own with a
# window manager (openbox) and an accessibility bus:
# - a screen reader reads the player's buttons by their tool tips, its main
#   window as a window, and stillbox's list and preview by their names;
# - Tab puts a visible focus mark on a button;
# - no tool tip while another program is active (and one when the player is);
# - at scale 2 the hand cursor's hot spot lies on its picture's finger tip;
# - the "not found" box of the volume button opens over the main window.
# Screenshots are left in OUTPUT_DIR.
#
# usage: painted_controls_e2e_test.sh PLAYER STILLBOX CURSOR_PROBE OUTPUT_DIR
set -euo pipefail
player=$1
stillbox=$2
cursor_probe=$3
output=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=/usr/bin/python3  # Debian's, which has pyatspi

fail() {
  echo "painted_controls_e2e: FAIL: $*" >&2
  for log in "${work:-}"/*.log; do
    [[ -s "$log" ]] && { echo "--- $log:" >&2; cat "$log" >&2; }
  done
  exit 1
}

for tool in Xvfb openbox xdotool xmessage import compare dbus-daemon; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || fail "at-spi2-core is not installed"
"$python" -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is not installed"

work=$(mktemp -d /tmp/painted-e2e.XXXXXX)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [[ -s "$work/bus.pid" ]] && kill "$(cat "$work/bus.pid")" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$output"

# An X server of our own: a window manager must not disturb the other
# tests on the shared one.
for n in $(seq 150 199); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.out" 2>&1 & pids+=($!)
    export DISPLAY=":$n"
    break
  fi
done
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
openbox >"$work/openbox.out" 2>&1 & pids+=($!)
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no session bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.out" 2>&1 & pids+=($!)
sleep 0.5

export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

wait_for_window() {
  for _ in $(seq 1 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
# "x y width height" of the accessible object with that role and name.
extents() { grep -m1 "^$1|$2|" "$work/$3.names" | cut -d'|' -f3; }
names() { "$python" "$here/atspi_names.py" "$1" >"$work/$2.names" 2>"$work/$2.atspi.log" || fail "AT-SPI: $(cat "$work/$2.atspi.log")"; }
expect_name() { grep -q "^$1|$2|" "$work/$3.names" || fail "no $1 named '$2' over AT-SPI; read: $(tr '\n' ';' <"$work/$3.names")"; }
centre_of() { local x y w h; read -r x y w h <<<"$1"; echo "$((x + w / 2)) $((y + h / 2))"; }
shot() { local x y w h; read -r x y w h <<<"$1"; import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/$2.png"; }
visible_windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }

# --- The player over AT-SPI, and the focus mark.
"$player" >"$work/player.log" 2>&1 & player_pid=$!; pids+=($player_pid)
main=$(wait_for_window '^Kestrel Message Player$') || fail "the player showed no main window"
sleep 0.5
names player player
expect_name frame 'Kestrel Message Player' player
for button in Play Stop 'Open Audio Volume Controls'; do expect_name 'push button' "$button" player; done
expect_name frame Waveform player
expect_name frame Progress player
# The window starts with no button focused; the first Tab takes the focus to
# Play, the second to Stop.
stop=$(extents 'push button' Stop player)
[[ -n "$stop" ]] || fail "the Stop button has no place on the screen"

xdotool mousemove 5 5
sleep 0.3
shot "$stop" unfocused
xdotool windowactivate --sync "$main" key Tab Tab
sleep 0.3
shot "$stop" focused
cp "$work/focused.png" "$output/stop_button_focused.png"
[[ "$(compare -metric AE "$work/unfocused.png" "$work/focused.png" null: 2>&1 || true)" != 0 ]] ||
  fail "Tab left no focus mark on the Stop button"

# --- Tool tips: none while another program is active, one while the player is.
stop_at=$(centre_of "$(extents 'push button' Stop player)")
xmessage -geometry +900+700 'another program' & pids+=($!)
other=$(wait_for_window '^xmessage$') || fail "xmessage showed no window"
xdotool windowactivate --sync "$other"
xdotool mousemove $stop_at
sleep 0.1
xdotool mousemove_relative 2 1
sleep 0.8
[[ $(visible_windows_of $player_pid) == 1 ]] || fail "a tool tip appeared while another program was active"
xdotool mousemove 5 5 windowactivate --sync "$main"
sleep 0.2
xdotool mousemove $stop_at
sleep 0.1
xdotool mousemove_relative 2 1
sleep 0.8
[[ $(visible_windows_of $player_pid) == 2 ]] || fail "no tool tip over Stop while the player was active"
import -window root "$output/stop_tool_tip.png"
kill $player_pid; wait $player_pid 2>/dev/null || true

# --- stillbox's list and preview over AT-SPI.
mkdir -p "$work/folder/Frames"
convert -size 320x240 xc:'#3060A0' "BMP3:$work/folder/Frames/one.bmp"
(cd "$work/folder" && exec "$stillbox") >"$work/stillbox.log" 2>&1 & stillbox_pid=$!; pids+=($stillbox_pid)
wait_for_window '^Kestrel Frames Browser$' >/dev/null || fail "stillbox showed no window"
sleep 0.5
names stillbox stillbox
expect_name frame 'Kestrel Frames Browser' stillbox
expect_name list Frames stillbox
expect_name frame Preview stillbox
kill $stillbox_pid; wait $stillbox_pid 2>/dev/null || true

# --- The hand cursor at scale 2.
QT_SCALE_FACTOR=2 "$player" >"$work/player2.log" 2>&1 & player_pid=$!; pids+=($player_pid)
main=$(wait_for_window '^Kestrel Message Player$') || fail "the player showed no main window at scale 2"
sleep 0.5
# The Play button's centre as read at scale 1, twice as far from the
# window's corner (the accessibility layer reports logical pixels).
read -r fx fy _ _ <<<"$(extents frame 'Kestrel Message Player' player)"
read -r px py <<<"$(centre_of "$(extents 'push button' Play player)")"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 2 * (px - fx))) $((Y + 2 * (py - fy)))
sleep 0.3
read -r width height xhot yhot tipx tipy on < <("$cursor_probe") || fail "the cursor probe failed"
(( width == 64 )) || fail "at scale 2 the cursor over Play is ${width}x$height, not the large hand"
(( on == 1 && yhot - tipy <= 2 && yhot >= tipy )) ||
  fail "the hot spot ($xhot, $yhot) is not on the finger tip (top row $tipy, from x=$tipx)"
kill $player_pid; wait $player_pid 2>/dev/null || true

# --- The volume button without a mixer and without the system volume
# program: its box opens over the main window.
PULSE_SERVER=unix:/nonexistent/kestrel PATH=/nonexistent "$player" >"$work/player3.log" 2>&1 & player_pid=$!
pids+=($player_pid)
# The start-up's own box comes first (no main window is visible yet).
box=$(wait_for_window '^Kestrel Message Player$') || fail "no window at start without a sound server"
main=""
for _ in $(seq 1 50); do
  for id in $(xdotool search --onlyvisible --name '^Kestrel Message Player$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    (( WIDTH < 400 )) && xdotool windowactivate --sync "$id" key space
  done
  sleep 0.2
  [[ $(xdotool search --onlyvisible --name '^Kestrel Message Player$' 2>/dev/null | wc -l) == 1 ]] && break
done
main=$(xdotool search --onlyvisible --name '^Kestrel Message Player$' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$main")"
mx=$X my=$Y mw=$WIDTH mh=$HEIGHT
names player player3
xdotool mousemove $(centre_of "$(extents 'push button' 'Open Audio Volume Controls' player3)") click 1
for _ in $(seq 1 50); do
  [[ $(xdotool search --onlyvisible --name '^Kestrel Message Player$' 2>/dev/null | wc -l) == 2 ]] && break
  sleep 0.1
done
box=$(xdotool search --onlyvisible --name '^Kestrel Message Player$' | grep -vx "$main" | head -n1)
[[ -n "$box" ]] || fail "the volume button without a mixer showed no box"
eval "$(xdotool getwindowgeometry --shell "$box")"
import -window root "$output/volume_not_found_box.png"
cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
(( cx > mx && cx < mx + mw && cy > my && cy < my + mh )) ||
  fail "the box at $X,$Y (${WIDTH}x$HEIGHT) is not over the main window at $mx,$my (${mw}x$mh)"
echo "painted_controls_e2e: PASS (screenshots in $output)"
