#!/usr/bin/env bash
# Checks the editors' files as a release carries them: scripts/package.sh
# --only editors packs the VS Code extension with vsce and copies the
# Notepad++ language; the extension's manifest must name only files it
# holds (scripts/check-vsix.js) and the language must be well-formed XML.
# The editors themselves are not run here.
#
# Usage: scripts/package-editors_test.sh
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -d "$source_dir/editors/vscode/node_modules/@vscode/vsce" ]; then
  echo "skipped: editors/vscode/node_modules is missing; run" \
       "\`npm ci --no-audit --no-fund\` in editors/vscode (test.sh does)"
  exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$source_dir/scripts/package.sh" --only editors -o "$work/dist" >/dev/null
version="$(sed -n 's/^project(scenario_compiler VERSION \([0-9.]*\).*/\1/p' \
  "$source_dir/CMakeLists.txt")"
vsix="$work/dist/scenario-description-$version.vsix"
udl="$work/dist/scenario-description.udl.xml"
[ -f "$vsix" ] || { echo "FAILED: package.sh wrote no $vsix" >&2; exit 1; }
[ -f "$udl" ] || { echo "FAILED: package.sh wrote no $udl" >&2; exit 1; }
node "$source_dir/scripts/check-vsix.js" "$vsix" "$version" "$work/vsix"
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
  "$udl"
echo "the editors' files of release $version passed"
