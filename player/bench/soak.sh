#!/usr/bin/env bash
# Soak check of the player: CYCLES rounds of open / play / stop / close in one
# running player, all through its window with real key presses (xdotool) on an
# X server, playing through the sound server. After every cycle the player's
# resident memory, threads and open file descriptors are logged, and at the end
# the script says whether memory has levelled off.
#
# One cycle: File > Open... in the menu, the path typed into the file dialog
# and the Open button (the message opens and plays), PLAY_SECONDS of playing, Play >
# Stop, File > Close. The messages are taken in turn (by default the demo with
# pictures and the sound-only voice message).
#
# Uses the running X and sound servers when DISPLAY and PULSE_SERVER are set,
# otherwise starts private ones with scripts/test-services.sh. Not part of
# test.sh: 1000 cycles take about an hour.
#
# usage: soak.sh BUILD_DIR [CYCLES] [OUTPUT_DIR]
#   environment: PLAY_SECONDS (default 1), SOAK_MESSAGES (paths separated by
#   spaces), SOAK_WRAPPER (a command put before the player, e.g. heaptrack).
# Writes OUTPUT_DIR/soak.csv (cycle, seconds, resident kB, threads,
# descriptors, and resident kB anonymous, file-backed and shared) and
# OUTPUT_DIR/player.log; a screenshot of the window when a step fails.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$1" && pwd)
cycles=${2:-1000}
out=${3:-$build/soak}
play_seconds=${PLAY_SECONDS:-1}
read -r -a messages <<<"${SOAK_MESSAGES:-$top/samples/demo.qrv $top/samples/voice.qrv}"
player="$build/player/player"
title='Kestrel Message Player'

fail() {
  echo "soak: FAIL in cycle ${cycle:-0}: $*" >&2
  echo "soak: windows: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')" >&2
  [[ -n "${main:-}" ]] && import -window root "$out/failure.png" 2>/dev/null && echo "soak: screen in $out/failure.png" >&2
  exit 1
}

exec </dev/null
if [[ -z "${DISPLAY:-}" || -z "${PULSE_SERVER:-}" ]]; then
  source "$top/scripts/test-services.sh"
fi
for tool in xdotool import xdpyinfo pactl; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[[ -x "$player" ]] || fail "no player at $player (build it with scripts/build.sh)"
for message in "${messages[@]}"; do [[ -f "$message" ]] || fail "no message $message"; done
mkdir -p "$out"
work=$(mktemp -d /tmp/player-soak.XXXXXX)
pid=""
cleanup() {
  if [[ -n "$pid" ]]; then
    # The player itself first: a wrapper's end need not end it.
    kill "$(measured)" "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# Private folders: no other player is met, and no user's settings touched.
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
# The messages in a folder of their own, where the player starts: its file
# dialog opens there, and only a short name has to be typed.
mkdir "$work/messages"
names=()
for message in "${messages[@]}"; do
  cp "$message" "$work/messages/"
  names+=("${message##*/}")
done

# The process to measure: the player itself, also when a wrapper started it.
measured() {
  local child
  child=$(pgrep -P "$pid" -x player 2>/dev/null | head -n1 || true)
  echo "${child:-$pid}"
}
# "rss_kb threads fds anon_kb file_kb shmem_kb" of process $1: resident
# memory, and the part of it that is the program's own (anonymous), mapped
# files (code of the libraries as it is touched, fonts) and shared memory.
usage_of() {
  local fds
  fds=$(find "/proc/$1/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  awk -v fds="$fds" '
    { v[$1] = $2 }
    END { print v["VmRSS:"], v["Threads:"], fds, v["RssAnon:"], v["RssFile:"], v["RssShmem:"] }' "/proc/$1/status"
}

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true; }
# A visible window whose name matches $1, within $2 seconds (default 20: a
# loaded machine or a profiler slows the player down).
wait_for() {
  local pattern=$1 id
  for _ in $(seq 1 $((${2:-20} * 20))); do
    id=$(window_named "$pattern")
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  return 1
}
# Whether the file dialog has gone within 5 seconds.
gone() {
  for _ in $(seq 1 100); do
    [[ -z "$(xdotool search --onlyvisible --name '^Open Kestrel Message' 2>/dev/null)" ]] && return 0
    sleep 0.05
  done
  return 1
}
# The main window's title once it matches $1 exactly, within 20 seconds.
wait_for_title() {
  for _ in $(seq 1 400); do
    [[ "$(xdotool getwindowname "$main" 2>/dev/null)" == "$1" ]] && return 0
    sleep 0.05
  done
  return 1
}
keys_to() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --delay 30 "$@"
}
# A menu command by its mnemonics: the menu key ($1, e.g. alt+f) into the main
# window, then, once the menu is on the screen, the item's key ($2). A key
# typed before the menu shows is lost.
menu() {
  local player_pid
  player_pid=$(measured)
  # The player's windows other than the main window: an open menu.
  popups() { xdotool search --onlyvisible --pid "$player_pid" 2>/dev/null | grep -vx "$main" || true; }
  for _ in $(seq 1 400); do [[ -z "$(popups)" ]] && break; sleep 0.05; done
  keys_to "$main" "$1"
  for _ in $(seq 1 400); do [[ -n "$(popups)" ]] && break; sleep 0.05; done
  [[ -n "$(popups)" ]] || fail "the menu of $1 did not open"
  xdotool key "$2"
}

(cd "$work/messages" && exec ${SOAK_WRAPPER:-} "$player") >"$out/player.log" 2>&1 &
pid=$!
main=$(wait_for "^$title\$" 60) || fail "no player window"
sleep 1
echo "cycle,seconds,rss_kb,threads,fds,anon_kb,file_kb,shmem_kb" >"$out/soak.csv"
start=$(date +%s)
read -r rss threads fds anon file shmem <<<"$(usage_of "$(measured)")"
echo "0,0,$rss,$threads,$fds,$anon,$file,$shmem" >>"$out/soak.csv"
echo "soak: idle before the first cycle: $rss kB, $threads threads, $fds descriptors"

for cycle in $(seq 1 "$cycles"); do
  name=${names[$(((cycle - 1) % ${#names[@]}))]}
  kill -0 "$pid" 2>/dev/null || fail "the player ended"
  # Open: the menu's mnemonics, the name into the dialog's name field, then
  # the Open button by its mnemonic (the field's completer keeps Return for
  # itself while its list is shown). The name is typed from its extension
  # on, the rest then put before it: it matches a file only with the last
  # key, so the completer's list, whose appearance can swallow keys typed
  # meanwhile, shows at most once the name is whole.
  menu alt+f o
  dialog=$(wait_for '^Open Kestrel Message') || fail "no file dialog"
  stem=${name%.*}
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "${name#"$stem"}"
    xdotool key Home
    xdotool type --delay 20 "$stem"
    sleep 0.2
    xdotool key alt+o
    gone && break
    ((attempt < 3)) || fail "the file dialog stays open"
    # A box saying the file was not found goes with Return.
    xdotool key Return
  done
  wait_for_title "$title - $name" || fail "the title does not name $name after Open"
  sleep "$play_seconds"
  menu alt+p s
  menu alt+f c
  wait_for_title "$title" || fail "the title still names a message after Close"
  read -r rss threads fds anon file shmem <<<"$(usage_of "$(measured)")"
  echo "$cycle,$(($(date +%s) - start)),$rss,$threads,$fds,$anon,$file,$shmem" >>"$out/soak.csv"
  if ((cycle % 50 == 0)); then
    echo "soak: cycle $cycle: $rss kB, $threads threads, $fds descriptors ($(($(date +%s) - start)) s)"
  fi
done

# File > Exit: a wrapper such as heaptrack sees the program end as a user ends it.
menu alt+f x
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the player did not end after File > Exit"
wait "$pid" || fail "the player ended with status $?"
pid=""

# Levelling off: the growth over the last quarter of the cycles against the
# growth over the whole run.
awk -F, -v cycles="$cycles" '
  NR == 2 { idle = $3 }
  NR > 2 { rss[$1] = $3; th[$1] = $4; fd[$1] = $5 }
  END {
    first = int(cycles / 4); q3 = cycles - first
    printf "soak: %d cycles; resident memory idle %.1f MB, after cycle 1 %.1f MB, %d %.1f MB, %d %.1f MB\n",
      cycles, idle / 1024, rss[1] / 1024, q3, rss[q3] / 1024, cycles, rss[cycles] / 1024
    printf "soak: threads %d after cycle 1, %d at the end; descriptors %d after cycle 1, %d at the end\n",
      th[1], th[cycles], fd[1], fd[cycles]
    printf "soak: growth over the last %d cycles: %.1f MB (%.1f kB per cycle)\n",
      first, (rss[cycles] - rss[q3]) / 1024, (rss[cycles] - rss[q3]) / first
  }' "$out/soak.csv"
