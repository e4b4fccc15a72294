#!/usr/bin/env bash
# Whole-process benchmark of `build`: a pack of PAIRS trains over three
# lines (the exported built-in pair under three line names) compiled
#   a) by one `compile` per pair, one after another, and
#   b) by one `build -j JOBS --force`,
# in alternation, ROUNDS times. Prints the median wall times, their ratio,
# the grid files each way writes, and checks that both give the same bytes.
#
#   bench/pack_build.sh [EXE] [PAIRS] [JOBS] [ROUNDS] [--no-grid]
#
# With --no-grid neither way builds or writes a grid: what is left is the
# compile work itself, spread over the threads.
# EXE defaults to build/scenario-compiler (a Release or
# RelWithDebInfo build).
set -euo pipefail
cd "$(dirname "$0")/.."
exe="$(realpath "${1:-build/scenario-compiler}")"
pairs="${2:-200}"
jobs="${3:-2}"
rounds="${4:-3}"
grid_flag=("${5:-}")
[ -z "${grid_flag[0]}" ] && grid_flag=()

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$exe" export -o "$work/export" >/dev/null
line="$work/export/Tarvo_Cembrio_linea.txt"
train="$work/export/Tarvo_Cembrio_Exp 5147-.txt"
names=(Valle Monte Lago)
for n in "${names[@]}"; do
  mkdir -p "$work/pack/$n"
  cp "$line" "$work/pack/$n/${n}_linea.txt"
done
for ((i = 0; i < pairs; i++)); do
  n="${names[$((i % 3))]}"
  cp "$train" "$work/pack/$n/${n}_R $i-.txt"
done

now() { date +%s.%N; }

singles() {
  rm -rf "$work/single"
  local grids=0
  for n in "${names[@]}"; do
    mkdir -p "$work/single/$n"
    for t in "$work/pack/$n/${n}_R "*-.txt; do
      "$exe" compile "$work/pack/$n/${n}_linea.txt" "$t" \
        -o "$work/single/$n" "${grid_flag[@]}" >/dev/null
      # every compile writes its line's grid
      [ "${#grid_flag[@]}" -eq 0 ] && grids=$((grids + 1))
    done
  done
  echo "$grids" >"$work/single_grids"
}

pack() {
  rm -rf "$work/out"
  "$exe" build "$work/pack" -o "$work/out" -j "$jobs" --force --json \
    "${grid_flag[@]}" \
    2>/dev/null >"$work/pack.json" || true
}

single_times=()
pack_times=()
for ((r = 0; r < rounds; r++)); do
  t0=$(now); singles; t1=$(now); pack; t2=$(now)
  single_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')")
  pack_times+=("$(awk -v a="$t1" -v b="$t2" 'BEGIN {print b - a}')")
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ms=$(median "${single_times[@]}")
mp=$(median "${pack_times[@]}")
pack_grids=$(grep -o '"grids_written": [0-9]*' "$work/pack.json" | grep -o '[0-9]*$')

# Same bytes both ways.
for n in "${names[@]}"; do
  for f in "$work/single/$n/"*.dat "$work/single/$n/"*.sim; do
    cmp -s "$f" "$work/out/$n/$(basename "$f")" || {
      echo "differs: $f" >&2
      exit 1
    }
  done
done

echo "pairs: $pairs over ${#names[@]} lines ${grid_flag[*]}; jobs: $jobs; rounds: $rounds; cores: $(nproc)"
echo "single compiles one after another: median ${ms} s, grid files written: $(cat "$work/single_grids")"
echo "build -j $jobs --force:             median ${mp} s, grid files written: ${pack_grids}"
echo "ratio: $(awk -v p="$mp" -v s="$ms" 'BEGIN {printf "%.3f", p / s}')"
