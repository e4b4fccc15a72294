#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang 14, in build-fuzz/)
# and runs each for a given time, then prints one summary line per target.
#
# Usage: scripts/fuzz.sh [-t SECONDS] [-T TIMEOUT] [-s SEED] [-j JOBS] [-n]
#                        [TARGET...]
#   -t SECONDS  how long each target runs (default 60)
#   -T TIMEOUT  wall-clock seconds after which one input counts as hung
#               (default 10; each target also fails an input that takes
#               over 1 s of processor time, whatever the machine's load)
#   -s SEED     libFuzzer's random seed (default: a new one each run)
#   -j JOBS     how many targets run at once (default 1; each takes a core)
#   -n          run the targets as last built, without building
#   TARGET      a target of fuzz/targets.txt (default: all of them)
#
# fuzz/targets.txt lists the targets with the largest input each is given
# and its dictionary. Each target starts from the committed seeds
# (fuzz/seeds/TARGET), the seeds made from the program's own output
# (build-fuzz/seeds/TARGET), the regression inputs (fuzz/regression/TARGET)
# and what earlier runs found (build-fuzz/corpus/TARGET, where new inputs
# go). An input that crashes, is too slow or takes more than 512 MiB is
# kept in build-fuzz/crashes/TARGET/; the status is then 1. Shrink it with
#   build-fuzz/fuzz_TARGET -minimize_crash=1 -runs=10000 FILE
# and add it under fuzz/regression/TARGET/, which the tests replay. Every
# run appends its figures to build-fuzz/fuzz-runs.log.
set -euo pipefail
cd "$(dirname "$0")/.."

# The targets, their largest inputs and their dictionaries.
all_targets=()
declare -A max_len dict
while read -r name _ length dictionary; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  all_targets+=("$name")
  max_len[$name]="$length"
  if [ -n "$dictionary" ]; then dict[$name]="fuzz/$dictionary"; fi
done <fuzz/targets.txt

seconds=60
timeout=10
seed=0
parallel=1
build=1
usage() { sed -n '5,14p' "$0" >&2; exit 2; }
while getopts "t:T:s:j:n" opt; do
  case "$opt" in
    t) seconds="$OPTARG" ;;
    T) timeout="$OPTARG" ;;
    s) seed="$OPTARG" ;;
    j) parallel="$OPTARG" ;;
    n) build=0 ;;
    *) usage ;;
  esac
done
[[ "$parallel" =~ ^[1-9][0-9]*$ ]] || usage
shift $((OPTIND - 1))
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
  if [[ " ${all_targets[*]} " != *" $t "* ]]; then
    echo "fuzz.sh: unknown target '$t' (${all_targets[*]})" >&2
    exit 2
  fi
done

out=build-fuzz
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
build_targets=(fuzz_make_seeds)
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
mkdir -p "$out"
# Two runs may start side by side (one target list each); they build in
# turn.
[ "$build" -eq 1 ] && (
  flock 9
  cmake --preset fuzz "${launcher[@]}" >/dev/null
  cmake --build --preset fuzz -j"$(nproc)" --target "${build_targets[@]}"
  "$out/fuzz_make_seeds" fuzz/seeds "$out/seeds"
) 9>"$out/.build.lock"

# A smaller quarantine than ASan's 256 MiB keeps the memory figure about
# the program, not the sanitizer's bookkeeping.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

# One target's run; its summary line goes to its log folder.
fuzz_one() {  # TARGET
  local t="$1"
  local corpus="$out/corpus/$t" crashes="$out/crashes/$t"
  local log="$out/logs/$t.log"
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  local dirs=("$corpus") d
  for d in "fuzz/seeds/$t" "$out/seeds/$t" "fuzz/regression/$t"; do
    [ -d "$d" ] && dirs+=("$d")
  done
  local options=(
    -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=512
    -malloc_limit_mb=512 -max_len="${max_len[$t]}" -seed="$seed"
    -print_final_stats=1 -artifact_prefix="$crashes/"
  )
  [ -n "${dict[$t]:-}" ] && options+=(-dict="${dict[$t]}")
  # libFuzzer names what it keeps crash-, leak-, oom- or timeout-HASH.
  findings() { find "$crashes" -type f ! -name 'slow-unit-*' | wc -l; }
  local before after run_status=0
  before="$(findings)"
  "$out/fuzz_$t" "${options[@]}" "${dirs[@]}" >"$log" 2>&1 ||
    run_status=$?
  after="$(findings)"

  # A run that ended early may have printed none of these.
  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
  last() { { grep -ao "$1: [0-9]*" "$log" || true; } | tail -1 | cut -d' ' -f2; }
  local runs cov ft corp line
  runs="$(stat number_of_executed_units)"
  cov="$(last cov)"
  ft="$(last ft)"
  corp="$(ls "$corpus" | wc -l)"
  line="$t: ${seconds} s, ${runs:-?} runs, $(stat average_exec_per_sec)/s,"
  line+=" cov ${cov:-?}, ft ${ft:-?}, corpus ${corp}, slowest $(stat slowest_unit_time_sec) s,"
  line+=" peak rss $(stat peak_rss_mb) MB"
  if [ "$run_status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    line+=", CRASH (exit $run_status): $(ls -t "$crashes" | head -1 |
      sed "s|^|$crashes/|"), log $log"
  else
    line+=", no crash"
  fi
  echo "$line" >"$out/logs/$t.summary"
}

# JOBS targets at a time, each on a core of its own; the summary comes in
# the order the targets were given, whichever ends first.
for t in "${targets[@]}"; do
  rm -f "$out/logs/$t.summary"
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  fuzz_one "$t" &
done
wait

status=0
for t in "${targets[@]}"; do
  if [ -f "$out/logs/$t.summary" ]; then
    line="$(cat "$out/logs/$t.summary")"
  else
    line="$t: FAILED before its summary, log $out/logs/$t.log"
  fi
  [[ "$line" == *", no crash" ]] || status=1
  echo "$line"
  echo "$(date -u +%FT%TZ) $line" >>"$out/fuzz-runs.log"
done
exit "$status"
