#!/usr/bin/env bash
# Builds the program and runs every test: once in a normal build (warnings
# are errors there), once in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and once cross-built for Windows with the
# tests under Wine; then runs each fuzz target for a short while. The
# builds are the presets of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs="$(nproc)"

# The VS Code extension's tools (its grammar tests and packaging), pinned by
# its package-lock.json.
(cd editors/vscode && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

cmake --preset normal >/dev/null
cmake --build --preset normal -j"$jobs"
ctest --preset normal -j"$jobs"

# The Windows stage depends on no other: it runs side by side with the
# sanitizer build (much of it is Wine starting programs, which leaves the
# processors free), its output kept in a log that is shown once the
# sanitizer stage is done, or has failed: it is always waited for, so that
# nothing is left running.
windows_log="$(mktemp)"
(
  start=$SECONDS
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$jobs"
  ctest --preset windows -j"$jobs"
  echo "Windows stage: $((SECONDS - start)) s"
) >"$windows_log" 2>&1 &
windows_stage=$!
windows_status=
finish_windows_stage() {
  [ -z "$windows_status" ] || return 0
  windows_status=0
  wait "$windows_stage" || windows_status=$?
  echo "--- Windows build and tests (MinGW-w64, Wine) ---"
  cat "$windows_log"
  rm -f "$windows_log"
}
trap finish_windows_stage EXIT

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs"

finish_windows_stage
if [ "$windows_status" -ne 0 ]; then
  echo "The Windows stage failed (exit status $windows_status)" >&2
  exit "$windows_status"
fi

# Each fuzz target briefly (clang build in build-fuzz/), one per core at a
# time, with a fixed seed so that a failure here reproduces with the same
# command. Longer runs: scripts/fuzz.sh -t SECONDS.
scripts/fuzz.sh -t 20 -s 1 -j "$jobs"
