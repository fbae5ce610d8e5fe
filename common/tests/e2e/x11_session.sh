# Sourced by the end-to-end tests of both programs: a private X display of
# their own with a window manager (openbox), as a person's desktop has one,
# and the helpers that drive real programs on it with real key presses.
#
# Before sourcing, set E2E_NAME (the test's name, for its messages) and
# E2E_OUT (where screenshots go). Provides DISPLAY, E2E_WORK (a temporary
# folder, removed at exit), fail, note and the e2e_* functions; programs
# started with e2e_start are stopped at exit.

fail() { echo "$E2E_NAME: FAIL: $*" >&2; exit 1; }
note() { echo "$E2E_NAME: $*"; }

for _tool in Xvfb openbox xdotool xprop xwininfo import convert compare; do
  command -v "$_tool" >/dev/null || fail "$_tool is not installed (scripts/ensure-packages.sh installs it)"
done

E2E_WORK=$(mktemp -d "/tmp/$E2E_NAME.XXXXXX")
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT"
_e2e_pids=()
_e2e_stop() {
  local i
  for ((i = ${#_e2e_pids[@]} - 1; i >= 0; i--)); do kill "${_e2e_pids[i]}" 2>/dev/null || true; done
  for ((i = ${#_e2e_pids[@]} - 1; i >= 0; i--)); do wait "${_e2e_pids[i]}" 2>/dev/null || true; done
  rm -rf "$E2E_WORK"
}
trap _e2e_stop EXIT

# The display: the X server picks a free number itself, so tests running at
# the same time never meet.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_WORK/display" \
  >"$E2E_WORK/xvfb.log" 2>&1 &
_e2e_pids+=($!)
for _ in $(seq 1 100); do [[ -s "$E2E_WORK/display" ]] && break; sleep 0.1; done
[[ -s "$E2E_WORK/display" ]] || fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
export DISPLAY=":$(head -n1 "$E2E_WORK/display")"
openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
_e2e_pids+=($!)
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"

# Private runtime and settings folders: no other copy is met.
export XDG_RUNTIME_DIR="$E2E_WORK/runtime" XDG_DATA_HOME="$E2E_WORK/data" XDG_CONFIG_HOME="$E2E_WORK/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

# Runs a program in the background, stopped at exit; its pid is in E2E_PID.
e2e_start() {
  "$@" &
  E2E_PID=$!
  _e2e_pids+=("$E2E_PID")
}

e2e_alive() { kill -0 "$1" 2>/dev/null; }

# Visible windows whose title is exactly $1.
e2e_windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

# Polls "$@" (which prints window ids) for up to 10 s; prints the first id.
_e2e_first_of() {
  local ids
  for _ in $(seq 1 100); do
    ids=$("$@")
    if [[ -n "$ids" ]]; then echo "${ids%%$'\n'*}"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Polls "$@" for up to 5 s until it prints nothing.
_e2e_none_of() {
  for _ in $(seq 1 50); do
    [[ -z "$("$@")" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits for a window titled exactly $1 and prints its id.
e2e_wait_window() { _e2e_first_of e2e_windows_named "$1"; }
e2e_wait_gone() { _e2e_none_of e2e_windows_named "$1"; }

# Real key presses through the X server, to whichever window has the focus.
e2e_keys() {
  xdotool key --delay 60 "$@"
  sleep 0.4
}

# Visible popup windows (menus, completion lists) of process $1: the window
# manager leaves them alone (override-redirect).
e2e_popups() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$id"
  done
  return 0
}

e2e_wait_popup() { _e2e_first_of e2e_popups "$1"; }
e2e_wait_no_popup() { _e2e_none_of e2e_popups "$1"; }

# A screenshot of the whole screen, kept as $E2E_OUT/$1.png.
e2e_shot() { import -window root "$E2E_OUT/$1.png" 2>/dev/null || true; }

# Pixels of exactly colour $2 in window $1.
e2e_colour_pixels() {
  import -window "$1" "$E2E_WORK/colour.png" 2>/dev/null || { echo 0; return; }
  convert "$E2E_WORK/colour.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info:
}

# Waits until window $1 shows at least $3 pixels of colour $2.
e2e_wait_colour() {
  for _ in $(seq 1 100); do
    (( $(e2e_colour_pixels "$1" "$2") >= $3 )) && return 0
    sleep 0.1
  done
  return 1
}
