#!/usr/bin/env bash
# Checks the Windows release as a user gets it: scripts/package.sh makes the
# zip from the Windows build folder, which is unpacked into a folder whose
# name holds a space and an "à"; the scenario-compiler.exe found there
# runs under Wine and its built-in run writes the six files with the
# digests pinned in src/run/output_digests_testing.h. The executable
# imports only DLLs that every Windows installation has, and the zip holds
# the README, docs/ and the notices of what is linked in, and the editors'
# files: the VS Code extension, whose manifest names only files it holds
# (scripts/check-vsix.js), and the Notepad++ language, well-formed XML.
#
# Usage: scripts/package_test.sh WINDOWS_BUILD_DIR WINE
# (the Windows build's ctest runs it, with WINEPREFIX set).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
wine="$2"

# The DLLs the released executable may import, lower case: each is part of
# every Windows installation since Windows 10, so that the one .exe runs
# with nothing installed beside it.
#   kernel32, user32, gdi32, advapi32, shell32, ole32, bcrypt, ws2_32:
#     the Win32 system DLLs themselves;
#   msvcrt: the system's own C runtime, which MinGW-w64 builds on;
#   api-ms-win-crt-*: the Universal C runtime's API sets (in Windows
#     since 10), should the toolchain move to the UCRT.
allowed_dll() {
  case "$1" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|\
    bcrypt.dll|ws2_32.dll|msvcrt.dll|api-ms-win-crt-*.dll) return 0 ;;
    *) return 1 ;;
  esac
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

"$source_dir/scripts/package.sh" --only windows --windows-build "$build" \
  -o "$work/dist" >/dev/null
zip=("$work"/dist/scenario-compiler-*-windows-x64.zip)
[ -f "${zip[0]}" ] || { echo "FAILED: package.sh wrote no zip" >&2; exit 1; }
name="$(basename "${zip[0]}" .zip)"

unpacked="$work/Prove à parte"
mkdir "$unpacked"
(cd "$unpacked" && cmake -E tar xf "${zip[0]}")
folder="$unpacked/$name"
for file in scenario-compiler.exe README.md docs/format.md \
            docs/example/Valle_linea.txt notices/README.txt \
            notices/g++-mingw-w64-x86-64-posix.txt \
            notices/gcc-mingw-w64-x86-64-posix.txt \
            notices/mingw-w64-x86-64-dev.txt notices/libcli11-dev.txt \
            notices/nlohmann-json3-dev.txt notices/libxxhash-dev.txt; do
  [ -f "$folder/$file" ] || fail "the zip has no $name/$file"
done

# The editors' files. The editor cannot be run here, so what it would load
# from the extension is checked instead.
version="${name#scenario-compiler-}"
version="${version%-windows-x64}"
vsix="$folder/editors/scenario-description-$version.vsix"
udl="$folder/editors/scenario-description.udl.xml"
if [ ! -f "$vsix" ]; then
  fail "the zip has no $name/editors/scenario-description-$version.vsix"
else
  node "$source_dir/scripts/check-vsix.js" "$vsix" "$version" "$work/vsix" ||
    fail "the extension's manifest is not whole (above)"
fi
if [ ! -f "$udl" ]; then
  fail "the zip has no $name/editors/scenario-description.udl.xml"
else
  python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
    "$udl" || fail "the Notepad++ language is not well-formed XML"
fi

# The imports, from the executable as released.
dlls="$(x86_64-w64-mingw32-objdump -p "$folder/scenario-compiler.exe" |
        sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
[ -n "$dlls" ] || fail "objdump lists no imported DLL"
for dll in $dlls; do
  allowed_dll "$dll" || fail "the executable imports $dll, which a" \
    "Windows installation may lack: link it statically (see" \
    "cmake/mingw-w64-x86_64.cmake) or, if every Windows has it, allow it" \
    "in scripts/package_test.sh"
done

# The built-in run, started from another folder: its files go beside the
# program. Wine takes the Unix names as UTF-8.
(cd "$work" && LC_ALL=C.UTF-8 "$wine" "$folder/scenario-compiler.exe" \
   --no-window) >"$work/out.txt" 2>"$work/err.txt" ||
  fail "the built-in run exited with $?: $(cat "$work/err.txt")"
[ -s "$work/err.txt" ] && fail "the built-in run wrote on standard error:" \
  "$(cat "$work/err.txt")"

# The pinned digests of the built-in run: {"NAME", "SHA256"} pairs in the
# kBuiltinRunDigests table.
pins="$(sed -n '/kBuiltinRunDigests\[\]/,/^};/p' \
          "$source_dir/src/run/output_digests_testing.h" | tr -d '\n' |
        grep -o '{"[^"]*", *"[0-9a-f]\{64\}"}' |
        sed 's/{"\([^"]*\)", *"\([0-9a-f]*\)"}/\2 \1/')"
[ "$(printf '%s\n' "$pins" | wc -l)" -eq 6 ] ||
  fail "expected six pinned digests, read: $pins"
while read -r digest file; do
  if [ ! -f "$folder/$file" ]; then
    fail "the built-in run wrote no \"$file\""
  elif [ "$(sha256sum <"$folder/$file" | cut -d' ' -f1)" != "$digest" ]; then
    fail "\"$file\" differs from the known-good build"
  fi
done <<<"$pins"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "the Windows release $name passed"
