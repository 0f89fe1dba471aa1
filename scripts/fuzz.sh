#!/usr/bin/env bash
# Runs every libFuzzer target of a sanitizer build configured with -DLOGOSMITH_FUZZ=ON: each
# for a bounded time from the seeds its fuzz folder's seeds.sh writes (plus its regression
# files), a few at a time, then replays every regression file once. The targets are those the
# build lists in <build>/fuzz/targets.txt, so targets added anywhere later are run too.
#
# usage: scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGETS_AT_ONCE]
#
# Any finding (crash, sanitizer report, time-out, memory blow-up, failed replay) fails the run;
# the input that caused it is kept under <build>/fuzz-run/findings/<target>/. Keep every such
# input as a regression file in <folder>/fuzz/regressions/<target>/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:?usage: scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGETS_AT_ONCE]}")
seconds=${2:-30}
jobs=${3:-2}
list=$build/fuzz/targets.txt
if [ ! -s "$list" ]; then
  echo "fuzz.sh: no fuzz targets listed in $list (configure with -DLOGOSMITH_FUZZ=ON)" >&2
  exit 1
fi
work=$build/fuzz-run
rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus" "$work/findings" "$work/logs"

# The settings targets write a settings file for every input: keep that in memory.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=$(mktemp -d /dev/shm/logosmith-fuzz.XXXXXX)
  export TMPDIR
  trap 'rm -rf "$TMPDIR"' EXIT
fi
export LOGOSMITH_BIN_DIR=$build/bin
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# Leaks are not findings here: Qt keeps caches for the life of the process.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# libFuzzer's own limits: an input that runs longer or needs more memory is a finding. Every
# reader bounds its work to well under these, even under the sanitizers.
limits=(-timeout=30 -rss_limit_mb=2560 -malloc_limit_mb=1024)

names=() programs=() regressions=() seeddirs=()
declare -A seeded=()
while IFS=$'\t' read -r name program regression seeds; do
  [ -n "$name" ] || continue
  folder=$(dirname "$seeds")
  if [ -z "${seeded[$folder]:-}" ]; then
    out=$work/seeds/$(echo "$folder" | md5sum | cut -c1-12)
    mkdir -p "$out"
    if [ -x "$seeds" ]; then
      "$seeds" "$out" >"$work/logs/seeds-$(basename "$out").log" 2>&1 ||
        { echo "fuzz.sh: $seeds failed:" >&2; cat "$work/logs/seeds-$(basename "$out").log" >&2; exit 1; }
    fi
    seeded[$folder]=$out
  fi
  out=${seeded[$folder]}
  # A folder's seeds are sorted by target when it has several, else shared.
  [ -d "$out/$name" ] && out=$out/$name
  names+=("$name") programs+=("$program") regressions+=("$regression") seeddirs+=("$out")
done <"$list"

run_target() {
  local i=$1 name=${names[$1]}
  local inputs=("$work/corpus/$name" "${seeddirs[$i]}")
  mkdir -p "$work/corpus/$name" "$work/findings/$name"
  [ -d "${regressions[$i]}" ] && inputs+=("${regressions[$i]}")
  "${programs[$i]}" -max_total_time="$seconds" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="$work/findings/$name/" "${inputs[@]}" >"$work/logs/$name.log" 2>&1
}

echo "Fuzzing ${#names[@]} targets for $seconds s each, $jobs at a time"
failed=()
declare -A pids=()
for i in "${!names[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$i" &
  pids[$i]=$!
done
for i in "${!names[@]}"; do
  wait "${pids[$i]}" || failed+=("${names[$i]}")
done

printf '%-26s %12s %10s %8s %s\n' target runs exec/s corpus outcome
for i in "${!names[@]}"; do
  name=${names[$i]} log=$work/logs/${names[$i]}.log
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  corpus=$(find "$work/corpus/$name" -type f | wc -l)
  outcome=ok
  if [ -n "$(ls -A "$work/findings/$name")" ] || [[ " ${failed[*]} " == *" $name "* ]]; then
    outcome="FINDING: $(ls "$work/findings/$name" | head -3 | tr '\n' ' ')(log: $log)"
    [[ " ${failed[*]} " == *" $name "* ]] || failed+=("$name")
  fi
  printf '%-26s %12s %10s %8s %s\n' "$name" "${runs:-?}" "${speed:-?}" "$corpus" "$outcome"
done

# Every input that ever failed must keep passing.
replayed=0
for i in "${!names[@]}"; do
  dir=${regressions[$i]}
  [ -d "$dir" ] || continue
  mapfile -t files < <(find "$dir" -type f ! -name '*.md' | sort)
  [ ${#files[@]} -gt 0 ] || continue
  if "${programs[$i]}" "${limits[@]}" "${files[@]}" >"$work/logs/${names[$i]}-replay.log" 2>&1; then
    replayed=$((replayed + ${#files[@]}))
  else
    echo "Regression replay of ${names[$i]} failed (log: $work/logs/${names[$i]}-replay.log)"
    tail -30 "$work/logs/${names[$i]}-replay.log"
    failed+=("${names[$i]} (replay)")
  fi
done
echo "Replayed $replayed regression files"

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in: ${failed[*]}" >&2
  for name in "${failed[@]}"; do
    log=$work/logs/${name%% *}.log
    [ -f "$log" ] && { echo "--- $log"; grep -m1 -B2 -A25 'ERROR:\|runtime error\|deadly signal\|timeout\|out-of-memory' "$log" || tail -30 "$log"; }
  done
  exit 1
fi
echo "fuzz.sh: no findings"
