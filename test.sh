#!/usr/bin/env bash
# Builds the program and runs every test: once in a normal build, once in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer; then runs each
# fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSCENARIO_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

# Each fuzz target briefly (clang build in build-fuzz/), with a fixed seed
# so that a failure here reproduces with the same command. Longer runs:
# scripts/fuzz.sh -t SECONDS.
scripts/fuzz.sh -t 20 -s 1
