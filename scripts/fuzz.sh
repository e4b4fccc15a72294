#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14, in build-fuzz/) and runs each for
# a given time, one after another, then prints one summary line per target.
#
# Usage: scripts/fuzz.sh [-t SECONDS] [-T TIMEOUT] [-s SEED] [-n] [TARGET...]
#   -t SECONDS  how long each target runs (default 60)
#   -T TIMEOUT  wall-clock seconds after which one input counts as hung
#               (default 10; each target also fails an input that takes
#               over 1 s of processor time, whatever the machine's load)
#   -s SEED     libFuzzer's random seed (default: a new one each run)
#   -n          run the targets as last built, without building
#   TARGET      compile cell_file param_file grid_file sheet command_line
#               (default: all)
#
# Each target starts from the committed seeds (fuzz/seeds/TARGET), the seeds
# made from the program's own output (build-fuzz/seeds/TARGET), the
# regression inputs (fuzz/regression/TARGET) and what earlier runs found
# (build-fuzz/corpus/TARGET, where new inputs go). An input that crashes,
# is too slow or takes more than 512 MiB is kept in
# build-fuzz/crashes/TARGET/; the status is then 1. Shrink it with
#   build-fuzz/fuzz_TARGET -minimize_crash=1 -runs=10000 FILE
# and add it under fuzz/regression/TARGET/, which the tests replay. Every
# run appends its figures to build-fuzz/fuzz-runs.log.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(compile cell_file param_file grid_file sheet command_line)
seconds=60
timeout=10
seed=0
build=1
while getopts "t:T:s:n" opt; do
  case "$opt" in
    t) seconds="$OPTARG" ;;
    T) timeout="$OPTARG" ;;
    s) seed="$OPTARG" ;;
    n) build=0 ;;
    *) sed -n '2,13p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
  if [[ " ${all_targets[*]} " != *" $t "* ]]; then
    echo "fuzz.sh: unknown target '$t' (${all_targets[*]})" >&2
    exit 2
  fi
done

# Inputs larger than these teach nothing new and slow every mutation; the
# grid and the sheet need room for a small scenario's grid (about 200 kB).
declare -A max_len=(
  [compile]=32768 [cell_file]=65536 [param_file]=16384
  [grid_file]=262144 [sheet]=393216 [command_line]=1024
)
declare -A dict=([compile]=fuzz/descriptions.dict)

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
  cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DSCENARIO_FUZZ=ON "${launcher[@]}" \
    >/dev/null
  cmake --build "$out" -j"$(nproc)" --target "${build_targets[@]}"
  "$out/fuzz_make_seeds" fuzz/seeds "$out/seeds"
) 9>"$out/.build.lock"

# A smaller quarantine than ASan's 256 MiB keeps the memory figure about
# the program, not the sanitizer's bookkeeping.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
status=0
summary=()
for t in "${targets[@]}"; do
  corpus="$out/corpus/$t"
  crashes="$out/crashes/$t"
  log="$out/logs/$t.log"
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  dirs=("$corpus")
  for d in "fuzz/seeds/$t" "$out/seeds/$t" "fuzz/regression/$t"; do
    [ -d "$d" ] && dirs+=("$d")
  done
  options=(
    -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=512
    -malloc_limit_mb=512 -max_len="${max_len[$t]}" -seed="$seed"
    -print_final_stats=1 -artifact_prefix="$crashes/"
  )
  [ -n "${dict[$t]:-}" ] && options+=(-dict="${dict[$t]}")
  # libFuzzer names what it keeps crash-, leak-, oom- or timeout-HASH.
  findings() { find "$crashes" -type f ! -name 'slow-unit-*' | wc -l; }
  before="$(findings)"
  run_status=0
  "$out/fuzz_$t" "${options[@]}" "${dirs[@]}" >"$log" 2>&1 ||
    run_status=$?
  after="$(findings)"

  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
  runs="$(stat number_of_executed_units)"
  cov="$(grep -ao 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  ft="$(grep -ao 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  corp="$(ls "$corpus" | wc -l)"
  line="$t: ${seconds} s, ${runs:-?} runs, $(stat average_exec_per_sec)/s,"
  line+=" cov ${cov:-?}, ft ${ft:-?}, corpus ${corp}, slowest $(stat slowest_unit_time_sec) s,"
  line+=" peak rss $(stat peak_rss_mb) MB"
  if [ "$run_status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    line+=", CRASH (exit $run_status): $(ls -t "$crashes" | head -1 |
      sed "s|^|$crashes/|"), log $log"
    status=1
  else
    line+=", no crash"
  fi
  summary+=("$line")
  echo "$(date -u +%FT%TZ) $line" >>"$out/fuzz-runs.log"
done

printf '%s\n' "${summary[@]}"
exit "$status"
