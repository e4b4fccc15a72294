#!/usr/bin/env bash
# Builds the program (installing what it needs) and runs the built-in
# scenario. The files it writes lie beside the executable, in build/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target scenario-compiler
build/scenario-compiler "$@"
echo "Done: the scenario's files are in $(pwd)/build"
