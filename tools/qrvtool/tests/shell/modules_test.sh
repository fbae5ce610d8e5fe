#!/usr/bin/env bash
# qrvtool's modules: decode and export map neither Qt nor the sound file,
# resampling and digest libraries (what makes their start short); the
# commands that need a module load it and work; a program whose modules are
# missing says so with exit status 1, and its other commands still work.
#
# usage: modules_test.sh QRVTOOL SAMPLES_DIR
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2

cd "$files"
cp "$samples/demo.qrv" demo.qrv

# loaded CMD...: the shared objects the command mapped, one a line.
loaded() { LD_DEBUG=files "$@" 2>&1 >/dev/null | sed -n 's/.*calling init: \(.*\)/\1/p' | xargs -rn1 basename; }

heavy='libQt6|libsndfile|libsoxr|libcrypto|libqrvtool-'
for command in "decode demo.qrv --bgr out.bgr --pcm out.pcm --y4m out.y4m --png pngs" "export -q demo.qrv -o out.y4m" \
  "info demo.qrv"; do
  # shellcheck disable=SC2086
  maps=$(loaded "$qrvtool" $command)
  grep -q '^libc\.so' <<<"$maps" || fail "LD_DEBUG did not list what '$command' loads: $maps"
  ! grep -Eq "$heavy" <<<"$maps" || fail "'$command' maps $(grep -E "$heavy" <<<"$maps" | tr '\n' ' ')"
done
note "decode, export and info map none of the large libraries"

maps=$(loaded "$qrvtool" info --json demo.qrv)
grep -q '^libqrvtool-qt\.so' <<<"$maps" && grep -q '^libQt6Gui' <<<"$maps" || fail "info --json did not load the Qt module"
grep -q '^libqrvtool-formats' <<<"$maps" && fail "info --json loaded the format libraries module"
maps=$(loaded "$qrvtool" decode demo.qrv --md5)
grep -q '^libqrvtool-formats\.so' <<<"$maps" && grep -q '^libcrypto' <<<"$maps" ||
  fail "decode --md5 did not load the format libraries module"
grep -q '^libQt6' <<<"$maps" && fail "decode --md5 loaded Qt"
note "info --json loads the Qt module, decode --md5 the format libraries, each only its own"

# The program alone, without its modules.
mkdir alone
cp "$qrvtool" alone/qrvtool
run alone/qrvtool info --json demo.qrv
expect 1 "info --json without the Qt module"
grep -q "cannot load libqrvtool-qt.so" "$work/err" || fail "info --json without the module said: $(err)"
run alone/qrvtool thumbnail demo.qrv thumb.png
expect 1 "thumbnail without the Qt module"
[[ ! -e thumb.png ]] || fail "thumbnail without the Qt module left thumb.png"
run alone/qrvtool decode demo.qrv --md5
expect 1 "decode --md5 without the format libraries module"
grep -q "cannot load libqrvtool-formats.so" "$work/err" || fail "decode --md5 without the module said: $(err)"
run alone/qrvtool decode demo.qrv --wav sound.wav
expect 1 "decode --wav without the format libraries module"
[[ ! -e sound.wav ]] || fail "decode --wav without the module left sound.wav"
"$qrvtool" decode demo.qrv --bgr with.bgr --pcm with.pcm --wav - >with.wav
alone/qrvtool decode demo.qrv --bgr alone.bgr --pcm alone.pcm --wav - >alone.wav ||
  fail "decode to raw files and a WAV stream needs no module, but failed"
cmp -s with.bgr alone.bgr && cmp -s with.pcm alone.pcm && cmp -s with.wav alone.wav ||
  fail "decode without the modules wrote other bytes"
note "without its modules qrvtool refuses what needs them (status 1, the module named) and does the rest"
