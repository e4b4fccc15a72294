#!/usr/bin/env bash
# The program alone (scenario-compiler with its window and raster modules)
# must configure without the tests' and the benchmarks' packages: with
# -DBUILD_TESTING=OFF -DSCENARIO_BENCHMARKS=OFF, CMake may not look for
# GoogleTest, Google Benchmark or libxml2, and no test target may be left
# behind. Configures in a temporary folder; builds nothing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mktemp -d)"
trap 'rm -rf "$build"' EXIT

# A REQUIRED look-up of a disabled package is an error, so these prove
# that nothing asks for them.
if ! cmake -S "$root" -B "$build" -G "Unix Makefiles" --no-warn-unused-cli \
  -DBUILD_TESTING=OFF -DSCENARIO_BENCHMARKS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$build/configure.log" 2>&1; then
  echo "FAIL: the program alone does not configure:"
  cat "$build/configure.log"
  exit 1
fi
if grep -q '^LIBXML2_' "$build/CMakeCache.txt"; then
  echo "FAIL: libxml2 was looked for without the tests"
  exit 1
fi
targets="$(cmake --build "$build" --target help)"
for t in scenario-compiler scenario-window scenario-raster; do
  grep -q "\.\.\. $t\$" <<<"$targets" || {
    echo "FAIL: no target $t"; exit 1; }
done
if grep -E '\.\.\. .*(_tests|_benchmarks?)$' <<<"$targets"; then
  echo "FAIL: test or benchmark targets without the tests"
  exit 1
fi
echo "ok"
