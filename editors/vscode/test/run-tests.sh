#!/usr/bin/env sh
# The extension's tests, run by ctest as editors.grammar:
#   - the grammar test files (test/**/*.test.txt: the generated keyword
#     tests and the annotated excerpts of the example pair) with
#     vscode-tmgrammar-test;
#   - every line of the reference's example pair and of the built-in pair
#     that PROGRAM exports, tokenized (test/whole-files.test.js);
#   - how the client finds the program (test/find-program.test.js).
# Needs node_modules (npm ci, which test.sh runs): without it the tests are
# skipped with exit status 77, which ctest reports as skipped.
#
# Usage: test/run-tests.sh PROGRAM DOCS_DIR
set -eu
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$1"
docs="$2"
if [ ! -d "$here/node_modules/vscode-tmgrammar-test" ]; then
  echo "skipped: $here/node_modules is missing; run" \
       "\`npm ci --no-audit --no-fund\` in editors/vscode (test.sh does)"
  exit 77
fi
cd "$here"
npx --no-install vscode-tmgrammar-test 'test/**/*.test.txt'
builtin="$(mktemp -d)"
trap 'rm -rf "$builtin"' EXIT
"$program" export -o "$builtin" >/dev/null
SCENARIO_PAIR_DIRS="$docs/example:$builtin" \
  node --test test/whole-files.test.js test/find-program.test.js
