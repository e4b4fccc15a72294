#!/usr/bin/env bash
# The whole-process benchmark: the compiler against a yardstick that only
# does the same file work (write_yardstick.cc: the same files with the same
# sizes, each replaced through a temporary, fsync and rename as the
# compiler does, the transient descriptions without fsync), run in
# alternation. Prints the median wall and cpu times,
# the ratios and the peak memory (/usr/bin/time -v). The decompile of the
# long pair's compiled files is timed beside its compile, and their ratio
# printed: a decompile may cost no more than the compile it undoes.
#
# Usage: bench/whole_process.sh [RUNS]    (default 10 runs of each)
# Builds a Release build in build-bench/ first (the bench preset;
# BENCH_BUILD=DIR uses an existing build folder as it is configured). Run it on a quiet machine:
# the load average before and after is printed with the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
build="${BENCH_BUILD:-$PWD/build-bench}"
build="$(realpath "$build")"

if [ -z "${BENCH_BUILD:-}" ]; then
  cmake --preset bench >/dev/null
fi
cmake --build "$build" -j"$(nproc)" \
  --target scenario-compiler write_yardstick process_timer >/dev/null
exe="$build/scenario-compiler"
yard="$build/write_yardstick"
timer="$build/process_timer"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
L="Tarvo_Cembrio_linea.txt"
T="Tarvo_Cembrio_Exp 5147-.txt"
texts=("$L" "$T" "Tarvo_Cembrio_Exp 5147_note.txt"
  "Tarvo_Cembrio_Exp 5147_rallentamenti.txt"
  "Tarvo_Cembrio_Exp 5147_scheda_treno.txt")
binaries=("Tarvo_Cembrio_linea.dat" "Tarvo_Cembrio_Exp 5147.sim"
  "Tarvo_Cembrio_Exp 5147.dat")

# The inputs: the exported built-in pair (185,700 m) and the same pair
# with the length row and the repetition row's end set to 1,000,000 m.
"$exe" export -o "$work/pair" >/dev/null
mkdir "$work/long"
cp "$work/pair/$L" "$work/pair/$T" "$work/long/"
sed -i -e 's/^\(lunghezza percorso,[ ]*\)185700/\11000000/' \
  -e 's/^\(ripetizione segnali[^,]*,[ ]*[0-9]*,[ ]*\)185700/\11000000/' \
  "$work/long/$L"
[ "$(grep -c '1000000' "$work/long/$L")" -eq 2 ] ||
  { echo "cannot make the 1,000,000 m line" >&2; exit 1; }

# The built-in run writes beside its executable: a copy in its own folder.
mkdir "$work/builtin" "$work/out-pair" "$work/out-long"
cp "$exe" "$work/builtin/"
builtin=("$work/builtin/scenario-compiler" --no-window)
"${builtin[@]}"
"$exe" compile "$work/pair/$L" "$work/pair/$T" -o "$work/out-pair"
"$exe" compile "$work/long/$L" "$work/long/$T" -o "$work/out-long"

size() { stat -c %s "$1"; }
# The yardstick of each run: the same operations on files of the same
# sizes, in folders of its own.
mkdir "$work/y-builtin" "$work/y-pair" "$work/y-long"
y_builtin=("$yard")
# The two descriptions are deleted a moment later: written, not flushed.
for t in "${texts[@]}"; do
  op=w
  [ "$t" = "$L" ] || [ "$t" = "$T" ] && op=t
  y_builtin+=("$op" "$work/y-builtin/$t" "$(size "$work/pair/$t")")
done
y_builtin+=(r "$work/y-builtin/$L" d "$work/y-builtin/$L"
  r "$work/y-builtin/$T" d "$work/y-builtin/$T")
for b in "${binaries[@]}"; do
  y_builtin+=(w "$work/y-builtin/$b" "$(size "$work/builtin/$b")")
done
compile_yardstick() {  # PAIR_FOLDER OUT_FOLDER YARD_FOLDER
  y_compile=("$yard" r "$1/$L" r "$1/$T")
  for b in "${binaries[@]}"; do
    y_compile+=(w "$3/$b" "$(size "$2/$b")")
  done
}
compile_yardstick "$work/pair" "$work/out-pair" "$work/y-pair"
y_pair=("${y_compile[@]}")
compile_yardstick "$work/long" "$work/out-long" "$work/y-long"
y_long=("${y_compile[@]}")

p_pair=("$exe" compile "$work/pair/$L" "$work/pair/$T" -o "$work/out-pair")
p_long=("$exe" compile "$work/long/$L" "$work/long/$T" -o "$work/out-long")
p_check=("$exe" check "$work/long/$L" "$work/long/$T")
p_decompile=("$exe" decompile "$work/out-long" -o "$work/dec-long" --force)
p_version=("$exe" --version)

# One timed run appended to a record: wall ms, cpu ms, peak KiB, status.
timed() {  # RECORD COMMAND...
  local record="$1"
  shift
  "$timer" "$@" >>"$work/$record" 2>/dev/null
}

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
unset DISPLAY
for ((i = 0; i < runs; i++)); do
  timed builtin.p "${builtin[@]}"
  timed builtin.y "${y_builtin[@]}"
  timed long.p "${p_long[@]}"
  timed long.y "${y_long[@]}"
  timed pair.p "${p_pair[@]}"
  timed pair.y "${y_pair[@]}"
  timed check.p "${p_check[@]}"
  timed decompile.p "${p_decompile[@]}"
  timed version.p "${p_version[@]}"
done
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

median() {  # RECORD COLUMN
  cut -d' ' -f"$2" "$work/$1" | sort -g |
    awk '{v[NR] = $1} END {
      if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
peak() {  # COMMAND...: peak resident memory in KiB, from /usr/bin/time -v
  /usr/bin/time -v "$@" 2>&1 >/dev/null |
    awk -F': ' '/Maximum resident set size/ {print $2}'
}
# Exit status 1 of a compile or a check is "codes recorded": still a run.
failed="$(cd "$work" && awk '$4 != 0 && $4 != 1 {print FILENAME}' *.p *.y |
  sort -u | tr '\n' ' ')"

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, Linux $(uname -r)"
echo "Load average (1, 5, 15 min): before $load_before, after $load_after"
echo "Medians of $runs runs each, program and yardstick in alternation:"
echo
printf '%-26s %9s %8s %9s | %9s %8s | %6s\n' run "wall ms" "cpu ms" "peak MiB" \
  "yard wall" "yard cpu" ratio
row() {  # NAME RECORD PEAK_KIB [YARD_RECORD]
  local wall cpu ywall="-" ycpu="-" ratio="-"
  wall="$(median "$2" 1)"
  cpu="$(median "$2" 2)"
  if [ -n "${4:-}" ]; then
    ywall="$(median "$4" 1)"
    ycpu="$(median "$4" 2)"
    ratio="$(awk -v a="$wall" -v b="$ywall" 'BEGIN {printf "%.2fx", a / b}')"
    ywall="$(printf '%.1f' "$ywall")"
    ycpu="$(printf '%.1f' "$ycpu")"
  fi
  printf '%-26s %9.1f %8.1f %9.1f | %9s %8s | %6s\n' "$1" "$wall" "$cpu" \
    "$(awk -v k="$3" 'BEGIN {print k / 1024}')" "$ywall" "$ycpu" "$ratio"
}
row "built-in run --no-window" builtin.p "$(peak "${builtin[@]}")" builtin.y
row "compile 1,000,000 m" long.p "$(peak "${p_long[@]}")" long.y
row "compile 185,700 m" pair.p "$(peak "${p_pair[@]}")" pair.y
row "check 1,000,000 m" check.p "$(peak "${p_check[@]}")"
decompile_peak="$(peak "${p_decompile[@]}")"
row "decompile 1,000,000 m" decompile.p "$decompile_peak"
row "--version" version.p "$(peak "${p_version[@]}")"
echo
awk -v a="$(median long.p 1)" -v b="$(median pair.p 1)" 'BEGIN {
  printf "Growth: compile of 1,000,000 m / compile of 185,700 m = %.2fx wall\n", a / b }'
awk -v a="$(median decompile.p 1)" -v b="$(median long.p 1)" \
  -v c="$(median decompile.p 2)" -v d="$(median long.p 2)" \
  -v e="$decompile_peak" -v f="$(peak "${p_long[@]}")" 'BEGIN {
  printf "Decompile / compile of 1,000,000 m = %.2fx wall, %.2fx cpu, %.2fx peak memory\n", a / b, c / d, e / f }'
# The decompile must also have checked its round trip: exit status 0.
[ "$(cut -d' ' -f4 "$work/decompile.p" | sort -u)" = 0 ] ||
  echo "warning: decompile of the 1,000,000 m pair did not round-trip" >&2
if [ -n "$failed" ]; then
  echo "warning: unexpected exit status in: $failed" >&2
fi
