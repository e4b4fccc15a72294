#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a folder above its own.
# The folders are layers; each may include only from itself and the layers
# listed before it here. This list is the one place that order is written.
#
# Usage: check-layers.sh [SRC_DIR]   (default: the project's src/)
# Test sources (*_test.cc, *_testing.*, *_for_test.*, *_test_util.*) may
# reach any layer: a test of a low layer may build its fixture with a
# higher one.
#
# One grep reads every include line of the tree; the rest is bash without
# a process per file, so the check takes a fraction of a second.
set -euo pipefail

layers=(base model line train compile lint documents plot window tools pack lsp run)

src="${1:-$(dirname "$0")/../src}"
src="${src%/}"
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

# The include lines of every file, "LINE:TEXT" one per line, by file. grep
# -Z ends each file name with a NUL, so any name reads back whole.
declare -A includes
while IFS= read -r -d '' file && IFS= read -r line; do
  includes[$file]+="$line"$'\n'
done < <(grep -rnZ --include='*.h' --include='*.cc' \
  '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src" || true)

status=0
while IFS= read -r -d '' file; do
  rel="${file#"$src"/}"
  folder="${rel%%/*}"
  name="${rel##*/}"
  case "$name" in
    *_test.cc | *_testing.*) continue ;;
  esac
  if [[ -z "${rank[$folder]+x}" ]]; then
    echo "$rel: folder '$folder' is not a known layer" >&2
    status=1
    continue
  fi
  rest="${includes[$file]-}"
  while [[ -n "$rest" ]]; do
    line="${rest%%$'\n'*}"
    rest="${rest#*$'\n'}"
    lineno="${line%%:*}"
    target="${line#*\"}"
    target="${target%%\"*}"
    to="${target%%/*}"
    [[ "$target" == */* ]] || continue
    if [[ -z "${rank[$to]+x}" ]]; then
      echo "$rel:$lineno: includes \"$target\" from unknown folder '$to'" >&2
      status=1
    elif ((rank[$to] > rank[$folder])); then
      echo "$rel:$lineno: $folder/ may not include \"$target\":" \
        "$to/ is a layer above it" >&2
      status=1
    fi
  done
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cc' \) -print0 | sort -z)

exit "$status"
