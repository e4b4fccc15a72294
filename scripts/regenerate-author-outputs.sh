#!/usr/bin/env bash
# Writes the records of testdata/author-outputs/ anew: what each author
# command printed and wrote in src/run/author_outputs_end_to_end_test.cc,
# run by the normal build (build/, made or brought up to date here). Run it
# when an output is meant to change, then read the diff of the records
# (git diff testdata/author-outputs) before committing them: the Linux and
# the Windows builds are both held to them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset normal >/dev/null
cmake --build --preset normal --target digest_tests scenario-compiler
mkdir -p testdata/author-outputs
SCENARIO_REGENERATE_OUTPUTS=1 build/digest_tests \
  --gtest_filter='AuthorOutputsEndToEnd.*'
git status --short testdata/author-outputs 2>/dev/null || true
