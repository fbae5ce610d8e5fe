#!/usr/bin/env bash
# Writes the seed corpus of fuzz_sound_file: a few milliseconds of a tone in
# each container and encoding libsndfile reads, made with sox, at rates from
# the lowest the encoder takes to the highest and in one to four channels.
#
# The same bytes on every run (no dither, repeatable), except for the time of
# writing that the MAT 5 header holds.
#
# usage: make_sound_seeds.sh DIR
set -euo pipefail
export LC_ALL=C
dir=$1
mkdir -p "$dir"
# tone FILE RATE CHANNELS SECONDS [OUTPUT OPTIONS...]
tone() {
  local file=$1 rate=$2 channels=$3 seconds=$4
  shift 4
  sox -V1 -R -n -D -r "$rate" -c "$channels" "$@" "$dir/$file" synth "$seconds" sine 440 sine 1000 gain -3
}
# WAV in each encoding, at the message's own rate (no resampling) and others.
tone s16.wav 8000 1 0.02
tone u8.wav 11025 1 0.02 -e unsigned -b 8
tone s24-stereo.wav 44100 2 0.004 -b 24
tone s32.wav 22050 1 0.005 -b 32
tone float.wav 16000 1 0.005 -e floating-point -b 32
tone double.wav 48000 1 0.002 -e floating-point -b 64
tone ulaw.wav 8000 1 0.02 -e u-law
tone alaw.wav 8000 2 0.01 -e a-law
tone ima-adpcm.wav 8000 1 0.1 -e ima-adpcm
tone ms-adpcm.wav 11025 1 0.1 -e ms-adpcm
tone gsm.wav 8000 1 0.08 -e gsm-full-rate
tone quad.wav 96000 4 0.001
tone lowest.wav 1000 1 0.05
tone highest.wav 768000 1 0.0005
# Other containers.
tone tone.aiff 22050 1 0.005
tone tone.aifc 8000 1 0.02 -e u-law
tone tone.au 8000 1 0.02
tone tone.flac 32000 2 0.004
tone tone.ogg 16000 1 0.02 -C 0
tone tone.w64 8000 1 0.01
tone tone.voc 8000 1 0.01
tone tone.sf 8000 1 0.01
tone tone.8svx 8000 1 0.01
tone tone.avr 8000 1 0.01
tone tone.mat4 8000 1 0.01
tone tone.mat5 8000 1 0.01
tone tone.paf 8000 1 0.01
tone tone.pvf 8000 1 0.01
tone tone.xi 8000 1 0.01
tone tone.htk 8000 1 0.01
tone tone.sph 8000 1 0.01 -e signed-integer -b 16
tone tone.caf 8000 1 0.01
tone tone.wve 8000 1 0.01
