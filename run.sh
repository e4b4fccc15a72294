#!/usr/bin/env bash
# Builds the program (installing what it needs) and runs the built-in
# scenario. The files it writes lie beside the executable, in build/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
# The normal preset: the same build/ as the test command's first build.
cmake --preset normal >/dev/null
cmake --build --preset normal -j"$(nproc)" --target scenario-compiler
build/scenario-compiler "$@"
echo "Done: the scenario's files are in $(pwd)/build"
