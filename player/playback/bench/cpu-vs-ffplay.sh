#!/usr/bin/env bash
# What playing a message costs, side by side with ffplay playing the same
# message exported to MP4: the share of one core used by the player and by
# the sound server while the demo plays, and by both while the player is
# paused and stopped. Runs on a private sound server and X display with a
# window manager; the rounds alternate the two players, and each figure is
# the median of its rounds.
#
# usage: cpu-vs-ffplay.sh [ROUNDS] [build-dir]
set -euo pipefail
rounds=${1:-3}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build="${2:-${KESTREL_BUILD_DIR:-$top/build}}"
player="$build/player/player"
qrvtool="$build/tools/qrvtool/qrvtool"
demo="$top/samples/demo.qrv"
for program in "$player" "$qrvtool"; do
  [[ -x "$program" ]] || { echo "cpu-vs-ffplay: $program is not built" >&2; exit 1; }
done
command -v ffplay >/dev/null || { echo "cpu-vs-ffplay: ffplay is not installed (ffmpeg)" >&2; exit 1; }

source "$top/scripts/test-services.sh"
server_pid=${_kestrel_pids[0]}
E2E_NAME=cpu-vs-ffplay
E2E_OUT=$(mktemp -d /tmp/cpu-vs-ffplay-out.XXXXXX)
source "$top/common/tests/e2e/x11_session.sh"
trap '_e2e_stop; _kestrel_stop_services; rm -rf "$E2E_OUT"' EXIT
export SDL_AUDIODRIVER=pulseaudio

"$qrvtool" export -q "$demo" -o "$E2E_WORK/demo.mp4"
# The demo's length in seconds, from its header.
length=$("$qrvtool" info "$demo" | awk -F': *' '/^duration/ {print int($2)}')
[[ -n "$length" && "$length" -ge 6 ]] || { echo "cpu-vs-ffplay: the demo is too short ($length s)" >&2; exit 1; }
# What is measured of a playing message: from 1 s after the start to 1 s
# before the end, so that start-up and the end are left out.
window=$((length - 2))
idle=5

# CPU time (user + system, clock ticks) of process $1 and all its threads.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
# share FROM TO SECONDS: per cent of one core.
share() { awk -v a="$1" -v b="$2" -v s="$3" -v hz="$hz" 'BEGIN {printf "%.2f", 100 * (b - a) / hz / s}'; }

# measure PID SECONDS: "program% server%" over the next SECONDS.
measure() {
  local p0 s0 p1 s1
  p0=$(ticks "$1"); s0=$(ticks "$server_pid")
  sleep "$2"
  p1=$(ticks "$1"); s1=$(ticks "$server_pid")
  echo "$(share "$p0" "$p1" "$2") $(share "$s0" "$s1" "$2")"
}

median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

results="$E2E_WORK/results"
: >"$results"
for round in $(seq 1 "$rounds"); do
  # The player: plays the demo it is given, then stays open, stopped.
  "$player" "$demo" 2>/dev/null &
  pid=$!
  sleep 1
  echo "player-playing $(measure "$pid" "$window")" >>"$results"
  sleep 3  # past the end: the message is stopped and rewound
  echo "player-stopped $(measure "$pid" "$idle")" >>"$results"
  kill "$pid"; wait "$pid" 2>/dev/null || true

  # Paused two seconds in, with Space, as a person pauses it.
  "$player" "$demo" 2>/dev/null &
  pid=$!
  win=$(e2e_wait_window "Kestrel Message Player - demo.qrv") || { echo "cpu-vs-ffplay: no player window" >&2; exit 1; }
  sleep 2
  xdotool windowactivate --sync "$win" key space
  sleep 1
  echo "player-paused $(measure "$pid" "$idle")" >>"$results"
  kill "$pid"; wait "$pid" 2>/dev/null || true

  ffplay -autoexit -loglevel quiet "$E2E_WORK/demo.mp4" &
  pid=$!
  sleep 1
  echo "ffplay-playing $(measure "$pid" "$window")" >>"$results"
  wait "$pid" 2>/dev/null || true
  sleep 1
  echo "nothing-running $(measure $$ "$idle")" >>"$results"
done

echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); $rounds rounds; demo ${length} s, measured ${window} s playing, ${idle} s idle"
printf '%-16s %10s %10s\n' "% of one core" program "sound server"
for what in player-playing ffplay-playing player-paused player-stopped nothing-running; do
  program=$(awk -v w="$what" '$1 == w {print $2}' "$results" | median)
  server=$(awk -v w="$what" '$1 == w {print $3}' "$results" | median)
  printf '%-16s %10s %10s\n' "$what" "$program" "$server"
done
echo "every round:"
cat "$results"
