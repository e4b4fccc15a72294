#!/usr/bin/env bash
# Builds the program and runs every test: once in a normal build (warnings
# are errors there), once in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzz target for a short while.
# The builds are the presets of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs="$(nproc)"

cmake --preset normal >/dev/null
cmake --build --preset normal -j"$jobs"
ctest --preset normal -j"$jobs"

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs"

# Each fuzz target briefly (clang build in build-fuzz/), one per core at a
# time, with a fixed seed so that a failure here reproduces with the same
# command. Longer runs: scripts/fuzz.sh -t SECONDS.
scripts/fuzz.sh -t 20 -s 1 -j "$jobs"
