#!/usr/bin/env bash
# The layer check must pass a tree whose includes point down, and fail one
# where a lower layer includes from a higher one (naming the file and line),
# while a test file may reach up.
set -euo pipefail
check="$(dirname "$0")/check-layers.sh"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/base" "$tree/model" "$tree/run"
printf '#include "base/status.h"\n' >"$tree/model/cells.h"
printf '#include "model/cells.h"\n#include <string>\n' >"$tree/run/cli.cc"
printf '#include "run/cli.h"\n' >"$tree/model/cells_test.cc"
"$check" "$tree" || { echo "FAIL: a downward tree was refused"; exit 1; }

printf '#include "base/status.h"\n#include "run/cli.h"\n' >"$tree/model/cells.cc"
if out="$("$check" "$tree" 2>&1)"; then
  echo "FAIL: an upward include passed"; exit 1
fi
grep -q 'model/cells.cc:2: model/ may not include "run/cli.h"' <<<"$out" || {
  echo "FAIL: unexpected message: $out"; exit 1; }

rm "$tree/model/cells.cc"
mkdir -p "$tree/extras"
printf '#include "base/status.h"\n' >"$tree/extras/thing.cc"
if out="$("$check" "$tree" 2>&1)"; then
  echo "FAIL: a folder outside the layer list passed"; exit 1
fi
grep -q "extras/thing.cc: folder 'extras' is not a known layer" <<<"$out" || {
  echo "FAIL: unexpected message: $out"; exit 1; }
echo "ok"
