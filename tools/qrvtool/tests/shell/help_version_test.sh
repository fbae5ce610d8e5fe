#!/usr/bin/env bash
# --help and --version of qrvtool, each of its commands, the player and the
# frames browser: stdout, status 0, and no display needed; usage errors: a
# line and a hint on stderr, nothing on stdout, status 2.
#
# usage: help_version_test.sh VERSION QRVTOOL [PLAYER STILLBOX]
source "$(dirname "$0")/lib.sh"
version=$1
qrvtool=$2
player=${3:-}
stillbox=${4:-}
unset DISPLAY WAYLAND_DISPLAY

# prints TEXT WHAT: status 0, stdout holding TEXT, nothing on stderr.
prints() {
  expect 0 "$2"
  [[ "$(out)" == *"$1"* ]] || fail "$2 printed: $(out)"
  [[ ! -s "$work/err" ]] || fail "$2 wrote on stderr: $(err)"
}
# usage_error HINT WHAT: status 2, two lines on stderr ending with HINT, nothing on stdout.
usage_error() {
  expect 2 "$2"
  [[ ! -s "$work/out" && $(err | wc -l) -eq 2 && "$(err | tail -n 1)" == "$1" ]] || fail "$2: stdout $(out), stderr $(err)"
}

for command in info decode encode export thumbnail; do
  run "$qrvtool" "$command" --help
  prints "Usage: qrvtool $command " "qrvtool $command --help"
  run "$qrvtool" help "$command"
  prints "Usage: qrvtool $command " "qrvtool help $command"
  run "$qrvtool" "$command" --version
  prints "qrvtool $version" "qrvtool $command --version"
  run "$qrvtool" "$command" --no-such-option
  usage_error "Try 'qrvtool $command --help'." "qrvtool $command --no-such-option"
done
run "$qrvtool" --help
prints "Usage: qrvtool COMMAND" "qrvtool --help"
run "$qrvtool" --version
prints "qrvtool $version" "qrvtool --version"
for wrong in "frobnicate" "--frobnicate" "info" "info a b" "thumbnail x.qrv out.png 12abc" "decode x.qrv --pcm" \
  "decode x.qrv --md5=yes" "encode --audio=a.wav" "encode --audio a.wav --fps 6 -o x.qrv" "decode x.qrv --png -"; do
  # shellcheck disable=SC2086 # the words of the command line
  run "$qrvtool" $wrong
  expect 2 "qrvtool $wrong"
  [[ ! -s "$work/out" && "$(err | tail -n 1)" == Try* ]] || fail "qrvtool $wrong: stdout $(out), stderr $(err)"
done
note "qrvtool and each command: --help and --version on stdout with 0, usage errors on stderr with 2"

if [[ -n "$player" ]]; then
  for program in "$player" "$stillbox"; do
    name=$(basename "$program")
    run "$program" --help
    prints "usage: $name" "$name --help"
    run "$program" --version
    prints "$name $version" "$name --version"
    run "$program" --no-such-option
    usage_error "Try '$name --help'." "$name --no-such-option"
  done
  note "player and stillbox: --help and --version with no display, usage errors with 2"
fi
note PASS
