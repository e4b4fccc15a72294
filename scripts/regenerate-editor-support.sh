#!/usr/bin/env bash
# Makes the editors' generated files again from the readers' keyword table,
# in place in editors/: the VS Code extension's grammars, snippets,
# language configuration and keyword tests (editors/vscode/), and the
# Notepad++ language (editors/notepad++/). The test EditorSupport* fails
# while a copy here differs from what the program makes.
#
# Usage: scripts/regenerate-editor-support.sh [PROGRAM]
# PROGRAM is a built scenario-compiler (default: build/scenario-compiler of
# the normal preset, built first).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-}"
if [ -z "$program" ]; then
  cmake --preset normal >/dev/null
  cmake --build --preset normal --target scenario-compiler
  program="$source_dir/build/scenario-compiler"
fi
"$program" editor-support vscode -o "$source_dir/editors/vscode"
"$program" editor-support notepad++ -o "$source_dir/editors/notepad++"
