#!/usr/bin/env bash
# Start-up and memory figures of the player on the demo message:
#   - time from starting `player samples/demo.qrv` to its first sound at the
#     sound server (the first non-zero sample at the null sink's monitor);
#   - time to its first picture on screen (the display area no longer plain);
#   - resident memory while playing (peak over the message, and at 5 s).
# Uses the running X and sound servers when DISPLAY and PULSE_SERVER are set,
# otherwise starts private ones with scripts/test-services.sh.
#
# usage: startup_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-5}
player="$build/player/player"
message="$top/samples/demo.qrv"
title='Kestrel Message Player - demo.qrv'

exec </dev/null
if [[ -z "${DISPLAY:-}" || -z "${PULSE_SERVER:-}" || -z "${KESTREL_TEST_SINK:-}" ]]; then
  source "$top/scripts/test-services.sh"
fi
work=$(mktemp -d /tmp/player-bench.XXXXXX)
recorder=""
cleanup() {
  [[ -n "$recorder" ]] && kill "$recorder" 2>/dev/null && wait "$recorder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

now_ns() { date +%s%N; }

recorded() { stat -c %s "$work/heard.raw"; }

parec -d "${KESTREL_TEST_SINK}.monitor" --format=s16le --rate=8000 --channels=1 --raw --latency-msec=5 \
  >"$work/heard.raw" &
recorder=$!
sleep 0.5

# The first non-zero sample at or after byte $1, as a byte offset.
first_sound_byte() {
  tail -c +"$(($1 + 1))" "$work/heard.raw" | od -An -v -t d2 -w2 |
    awk -v base="$1" '$1 != 0 { print base + (NR - 1) * 2; found = 1; exit } END { if (!found) print -1 }'
}

# Waits for the first sound recorded after byte $1 and prints the time it
# arrived, in ms after $2 (ns). The monitor of an idle null sink delivers
# nothing, so the arrival is timed, not the position in the recording.
time_first_sound() {
  local mark=$1 start=$2
  while (( ($(now_ns) - start) < 5000000000 )); do
    if (( $(recorded) > mark )) && (( $(first_sound_byte "$mark") >= 0 )); then
      echo $(( ($(now_ns) - start) / 1000000 ))
      return
    fi
    sleep 0.005
  done
  echo -1
}

# Whether the window's lower part (the display area) holds a picture.
shows_picture() {
  import -window "$1" -gravity south -crop 100%x50%+0+0 +repage -colorspace gray \
    -format '%[fx:standard_deviation > 0.08 ? 1 : 0]' info: 2>/dev/null || echo 0
}

sound_ms=()
picture_ms=()
for run in $(seq 1 "$runs"); do
  mark=$(recorded)
  start=$(now_ns)
  time_first_sound "$mark" "$start" >"$work/sound-ms" &
  sound_poller=$!
  "$player" "$message" >"$work/player.log" 2>&1 &
  pid=$!
  window=""
  picture=""
  while (( ($(now_ns) - start) < 5000000000 )); do
    [[ -z "$window" ]] && window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [[ -n "$window" && "$(shows_picture "$window")" == 1 ]]; then
      picture=$(( ($(now_ns) - start) / 1000000 ))
      break
    fi
  done
  wait "$sound_poller"
  sound=$(cat "$work/sound-ms")
  (( sound >= 0 )) && sound_ms+=("$sound")
  [[ -n "$picture" ]] && picture_ms+=("$picture")
  if (( run == runs )); then
    # The last run plays on: resident memory at 5 s and at its peak.
    sleep 3.5
    rss5=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    sleep 5
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  sleep 0.3
done

summary() {
  local name=$1
  shift
  if (( $# == 0 )); then echo "$name: not measured"; return; fi
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '
    { v[NR] = $1 } END { printf "%s: median %d ms, min %d ms, max %d ms over %d runs\n", name, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}
summary "start to first sound at the server" "${sound_ms[@]}"
summary "start to first picture on screen" "${picture_ms[@]}"
echo "resident memory while playing: ${rss5} kB at 5 s, peak ${hwm} kB"
