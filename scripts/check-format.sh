#!/usr/bin/env bash
# Fails when a C++ file of the project differs from its clang-format form
# (.clang-format at the root: Google style, 80 columns). Fix with
#   clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
format="$(command -v clang-format-14 || command -v clang-format)"
mapfile -d '' files < <(git ls-files -z -- '*.h' '*.cc' 2>/dev/null ||
  find src fuzz bench -type f \( -name '*.h' -o -name '*.cc' \) -print0)
"$format" --dry-run --Werror "${files[@]}"
