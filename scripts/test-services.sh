#!/usr/bin/env bash
# Sourced by test.sh and .ci/run: starts a private PulseAudio server with an
# 8000 Hz mono null sink and an Xvfb display for the tests, and stops both
# when the sourcing shell exits.
#
# Exports: PULSE_SERVER, KESTREL_TEST_SINK (the null sink's name; its monitor
# is "$KESTREL_TEST_SINK.monitor"), DISPLAY, KESTREL_SERVICES_DIR.

KESTREL_SERVICES_DIR=$(mktemp -d /tmp/kestrel-services.XXXXXX)
export KESTREL_SERVICES_DIR
export KESTREL_TEST_SINK=kestrel_null
_kestrel_pids=()

_kestrel_stop_services() {
  # A server that died during the tests explains the failures that followed.
  if ! kill -0 "${_kestrel_pids[0]}" 2>/dev/null; then
    echo "test-services: the sound server died during the tests; the end of its log:" >&2
    grep -v 'memfd\|Falling back to copying\|bug report about this' "$KESTREL_SERVICES_DIR/pulse.log" | tail -n 30 >&2
  fi
  for pid in "${_kestrel_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${_kestrel_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$KESTREL_SERVICES_DIR"
}
trap _kestrel_stop_services EXIT

# PulseAudio: its own runtime and state folders, so it neither meets nor
# disturbs a user's server.
export PULSE_RUNTIME_PATH="$KESTREL_SERVICES_DIR/pulse"
export PULSE_STATE_PATH="$KESTREL_SERVICES_DIR/pulse-state"
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  -L "module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
  -L "module-null-sink sink_name=$KESTREL_TEST_SINK rate=8000 channels=1 format=s16le" \
  -L "module-always-sink" \
  >"$KESTREL_SERVICES_DIR/pulse.log" 2>&1 &
_kestrel_pids+=($!)
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"

# Xvfb on the first free display from :90.
for n in $(seq 90 120); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
    # -noreset: without it the server resets whenever its last client leaves,
    # and a program connecting during the reset is refused.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$KESTREL_SERVICES_DIR/xvfb.log" 2>&1 &
    _kestrel_pids+=($!)
    export DISPLAY=":$n"
    break
  fi
done

for _ in $(seq 1 100); do
  if pactl info >/dev/null 2>&1 && xdpyinfo >/dev/null 2>&1; then break; fi
  sleep 0.1
done
pactl set-default-sink "$KESTREL_TEST_SINK" >/dev/null 2>&1 || true
if ! pactl info >/dev/null 2>&1; then
  echo "test-services: PulseAudio did not start:" >&2
  cat "$KESTREL_SERVICES_DIR/pulse.log" >&2
fi
if ! xdpyinfo >/dev/null 2>&1; then
  echo "test-services: Xvfb did not start:" >&2
  cat "$KESTREL_SERVICES_DIR/xvfb.log" >&2
fi
