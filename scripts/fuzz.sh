#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, with libgsm built from its
# Debian source the same way) into build-fuzz/ and fuzzes each in turn.
#
# usage: scripts/fuzz.sh [--ci] [MINUTES [TARGET...]]
#   MINUTES  per target, decimals allowed (default 1.5).
#   TARGET   only these targets (default all).
#   --ci     fuzz from the committed seeds and keep nothing (CI's run).
#
# Without --ci each target grows its corpus in its seeds' folder under
# corpus/grown/TARGET (ignored by git) and starts from it the next time. At
# the end of such a session the grown corpus is merged against the committed
# seeds, and the small inputs that reach what the seeds do not are copied
# beside them, to be looked at and committed.
#
# Findings: a crash, a sanitizer report, a leak, one allocation above the
# target's limit, memory above the RSS limit or an input slower than the time
# limit fails the run; the input is kept in build-fuzz/findings/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

ci=false
if [[ "${1:-}" == "--ci" ]]; then ci=true; shift; fi
minutes="${1:-1.5}"
[[ "$minutes" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { echo "usage: scripts/fuzz.sh [--ci] [MINUTES [TARGET...]]" >&2; exit 2; }
shift || true
only=("$@")
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60 + 0.5); print s < 1 ? 1 : s }')

build="${KESTREL_FUZZ_BUILD_DIR:-$top/build-fuzz}"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# The pixel kernels are checked by the sanitizers but give no coverage
# feedback (see the list): tracing their comparisons took most of the time.
coverage="-fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=$top/player/media/tests/fuzz/coverage_ignore.txt"
"$top/scripts/fuzz-gsm.sh" "$build/gsm" $sanitize $coverage
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTREL_MEDIA_ONLY=ON -DKESTREL_FUZZ=ON -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF \
  -DCMAKE_C_FLAGS="$sanitize $coverage" -DCMAKE_CXX_FLAGS="$sanitize $coverage" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DGSM_INCLUDE_DIR="$build/gsm/include" -DGSM_LIBRARY="$build/gsm/lib/libgsm.a" >/dev/null

# name, folder of its sources (seeds in corpus/SEEDS there), seeds, dictionary
# ("-" for none), longest input in bytes, largest single allocation in MB,
# then any options of its own.
targets=(
  "fuzz_message_file player/media/tests/fuzz message qrv.dict 20000 64"
  "fuzz_video_payload player/media/tests/fuzz payload qrv.dict 16385 64"
  "fuzz_audio_frames player/media/tests/fuzz audio - 1320 64"
  # Qt's readers are not instrumented, so no mutation of a picture looks new:
  # every seed format stays in the rotation.
  "fuzz_picture_file tools/qrvtool/tests/fuzz picture picture.dict 16384 256 -keep_seed=1 -cross_over_uniform_dist=1"
  "fuzz_y4m_stream tools/qrvtool/tests/fuzz y4m y4m.dict 65536 64"
  # libsndfile and libsoxr are not instrumented either.
  "fuzz_sound_file tools/qrvtool/tests/fuzz sound sound.dict 16384 64 -keep_seed=1 -cross_over_uniform_dist=1"
)
names=()
chosen=()
for entry in "${targets[@]}"; do
  name=${entry%% *}
  if ((${#only[@]} > 0)) && [[ " ${only[*]} " != *" $name "* ]]; then continue; fi
  names+=("$name")
  chosen+=("$entry")
done
((${#names[@]} > 0)) || { echo "fuzz.sh: no target named ${only[*]}" >&2; exit 2; }
cmake --build "$build" --target "${names[@]}" -- -j2 --quiet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
logs="$build/logs"
mkdir -p "$findings" "$logs"
TIMEFORMAT='%U %S'
export TMPDIR="$work"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Inputs slower than this many seconds, and processes above this many MB, are findings.
timeout_seconds=10
rss_limit_mb=1024

# Small inputs of the grown corpus that reach code the seeds do not, copied
# next to the seeds under libFuzzer's content-hash names. The merge counts
# edges reached, not how often (-use_counters=0): a handful of inputs per
# session rather than every one that loops a little longer.
keep_additions() {
  local binary=$1 seeds=$2 grown=$3 max_len=$4 merged="$work/merged-${1##*/}"
  mkdir -p "$merged"
  cp "$seeds"/* "$merged/"
  "$binary" -merge=1 -use_counters=0 -max_len="$max_len" "$merged" "$grown" >"$merged.log" 2>&1 || {
    echo "merge failed; see below" >&2; tail -n 20 "$merged.log" >&2; return 1; }
  local added=0 file
  for file in "$merged"/*; do
    [[ -e "$seeds/${file##*/}" ]] && continue
    (( $(stat -c %s "$file") <= 4096 )) || continue
    cp "$file" "$seeds/"
    added=$((added + 1))
  done
  echo "  $added new small inputs beside the seeds in ${seeds#"$top"/}"
}

status=0
for entry in "${chosen[@]}"; do
  read -r name folder seeds dict max_len malloc_mb own <<<"$entry"
  binary="$build/$folder/$name"
  seed_dir="$top/$folder/corpus/$seeds"
  if $ci; then
    corpus="$work/corpus-$name"
  else
    corpus="$top/$folder/corpus/grown/$name"
  fi
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout="$timeout_seconds" -rss_limit_mb="$rss_limit_mb"
    -malloc_limit_mb="$malloc_mb" -max_len="$max_len" -print_final_stats=1
    -artifact_prefix="$findings/$name-")
  [[ "$dict" != "-" ]] && options+=(-dict="$top/$folder/$dict")
  read -r -a own_options <<<"${own:-}"
  options+=("${own_options[@]}")
  echo "fuzzing $name for ${seconds}s"
  log="$logs/$name.log"
  # The processor time too: the machine is shared, and inputs per second of
  # the clock fall with every other job on it.
  if ! { time (cd "$work" && "$binary" "${options[@]}" "$corpus" "$seed_dir" 2>"$log"); } 2>"$work/$name.cpu"; then
    tail -n 60 "$log" >&2
    echo "$name: FINDING, input kept in ${findings#"$top"/}/ (see above; log in ${log#"$top"/})" >&2
    status=1
    continue
  fi
  # The last status line has the coverage; the final stats the rate.
  awk -v name="$name" -v cpu="$(tail -n 1 "$work/$name.cpu" | awk '{ print $1 + $2 }')" '
    /^#[0-9]+/ && / cov: / { for (i = 1; i <= NF; i++) { if ($i == "cov:") cov = $(i + 1); if ($i == "ft:") ft = $(i + 1); if ($i == "corp:") corp = $(i + 1) } }
    /stat::number_of_executed_units:/ { runs = $2 }
    /stat::average_exec_per_sec:/ { rate = $2 }
    /stat::peak_rss_mb:/ { rss = $2 }
    END { printf "  %s: %d inputs, %d/s (%d per processor second), coverage %d counters %d features, corpus %s, peak %d MB\n",
            name, runs, rate, (cpu > 0 ? runs / cpu : 0), cov, ft, corp, rss }
  ' "$log"
  if ! $ci; then keep_additions "$binary" "$seed_dir" "$corpus" "$max_len" || status=1; fi
done
exit $status
