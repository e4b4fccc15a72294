#!/usr/bin/env bash
# Makes the two releases of the program in dist/ (or -o DIR):
#
#   scenario-compiler-VERSION-windows-x64.zip
#       scenario-compiler.exe of the windows preset (statically linked: it
#       needs no DLL beside it), the README, docs/ and notices/;
#   scenario-compiler-VERSION-linux-x64.tar.gz
#       scenario-compiler of the normal preset with the window and raster
#       modules it loads from its own folder (scenario-window.so,
#       scenario-raster.so, scenario-http.so), the README, docs/ and
#       notices/.
#
# Both also hold editors/: the VS Code extension
# (scenario-description-VERSION.vsix, packed by vsce from editors/vscode/,
# with the npm tools its package-lock.json pins, installed by npm ci when
# missing) and the Notepad++ language (scenario-description.udl.xml); the
# two are written into the output folder as well.
#
# Each archive holds one folder of the archive's name. notices/ holds the
# copyright and licence text, as Debian ships it, of every package whose
# code is in the release or is loaded by it: for Windows the archives the
# static link took (read from the linker's map), for Linux the libraries
# the program and its modules load directly (their DT_NEEDED entries), and
# for both the header-only packages compiled in (CLI11, nlohmann-json,
# xxHash). VERSION is the project's version (CMakeLists.txt).
#
# Usage: scripts/package.sh [-o DIR] [--only windows|linux|editors]
#                           [--windows-build DIR] [--linux-build DIR]
#
# By default each release is built through its preset first (build-windows/
# and build/, only the targets it ships; a build that is up to date costs a
# few seconds). --windows-build / --linux-build take an existing build
# folder as it is instead, built by the caller (the release test does so).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
dist="$source_dir/dist"
only=
windows_build=
linux_build=
while [ $# -gt 0 ]; do
  case "$1" in
    -o) dist="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    --windows-build) windows_build="$2"; shift 2 ;;
    --linux-build) linux_build="$2"; shift 2 ;;
    *) echo "package.sh: unknown argument \"$1\" (see the usage at the top" \
            "of scripts/package.sh)" >&2
       exit 2 ;;
  esac
done
case "$only" in
  ""|windows|linux|editors) ;;
  *) echo "package.sh: --only takes windows, linux or editors, not" \
          "\"$only\"" >&2
     exit 2 ;;
esac

version="$(sed -n 's/^project(scenario_compiler VERSION \([0-9.]*\).*/\1/p' \
  "$source_dir/CMakeLists.txt")"
if [ -z "$version" ]; then
  echo "package.sh: no project(scenario_compiler VERSION ...) in" \
       "CMakeLists.txt" >&2
  exit 2
fi
mkdir -p "$dist"
dist="$(cd "$dist" && pwd)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

# The Debian package that holds file (after links are followed).
package_of() {
  local file package
  file="$(realpath "$1")"
  # With merged /usr, dpkg may know the file under /usr/lib or /lib.
  package="$({ dpkg -S "$file" 2>/dev/null ||
               dpkg -S "${file#/usr}" 2>/dev/null || true; } |
             head -n 1 | sed 's/:.*//')"
  if [ -z "$package" ]; then
    echo "package.sh: no Debian package holds $file, so its notice is" \
         "unknown" >&2
    exit 1
  fi
  echo "$package"
}

# Copies the copyright file of each named package into folder/notices/,
# one file per package, and a list of them.
write_notices() {
  local folder="$1"
  shift
  mkdir -p "$folder/notices"
  {
    echo "The copyright and licence notices of the code in this release,"
    echo "or loaded by it, one file per Debian package it comes from:"
    echo
  } >"$folder/notices/README.txt"
  local package
  for package in $(printf '%s\n' "$@" | sort -u); do
    local copyright="/usr/share/doc/$package/copyright"
    if [ ! -f "$copyright" ]; then
      echo "package.sh: $copyright is missing: install $package's" \
           "documentation (Debian keeps it with the package)" >&2
      exit 1
    fi
    cp "$copyright" "$folder/notices/$package.txt"
    echo "- $package.txt" >>"$folder/notices/README.txt"
  done
}

# The packages of the header-only libraries compiled into the program.
header_packages() {
  local header
  for header in /usr/include/CLI/CLI.hpp /usr/include/nlohmann/json.hpp \
                /usr/include/xxhash.h; do
    package_of "$header"
  done
}

# Lays out README, docs, the editors' files and the given files in folder.
lay_out() {
  local folder="$1"
  shift
  mkdir -p "$folder"
  cp "$source_dir/README.md" "$folder/"
  cp -r "$source_dir/docs" "$folder/"
  cp -r "$stage/editors" "$folder/"
  cp "$@" "$folder/"
}

# The editors' files in $stage/editors and in the output folder.
package_editors() {
  local vscode="$source_dir/editors/vscode"
  if [ ! -d "$vscode/node_modules/@vscode/vsce" ]; then
    (cd "$vscode" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
  fi
  local extension_version
  extension_version="$(cd "$vscode" &&
                       node -p 'require("./package.json").version')"
  if [ "$extension_version" != "$version" ]; then
    echo "package.sh: editors/vscode/package.json has version" \
         "$extension_version, the project $version: make them the same" >&2
    exit 1
  fi
  mkdir -p "$stage/editors"
  local vsix="$stage/editors/scenario-description-$version.vsix"
  (cd "$vscode" &&
   npx --no-install vsce package --allow-missing-repository -o "$vsix" \
     >"$stage/vsce.log" 2>&1) || {
    cat "$stage/vsce.log" >&2
    echo "package.sh: vsce could not pack editors/vscode" >&2
    exit 1
  }
  cp "$source_dir/editors/notepad++/scenario-description.udl.xml" \
     "$stage/editors/"
  cp "$stage/editors/"* "$dist/"
  echo "$dist/$(basename "$vsix")"
  echo "$dist/scenario-description.udl.xml"
}

package_windows() {
  if [ -z "$windows_build" ]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target scenario-compiler
    windows_build="$source_dir/build-windows"
  fi
  local exe="$windows_build/scenario-compiler.exe"
  local map="$windows_build/scenario-compiler.map"
  for file in "$exe" "$map"; do
    if [ ! -f "$file" ]; then
      echo "package.sh: $file is missing: build the windows preset" >&2
      exit 1
    fi
  done
  local name="scenario-compiler-$version-windows-x64"
  lay_out "$stage/$name" "$exe"
  # The link map names every archive and object the static link took; the
  # toolchain's own (C and C++ runtimes, threads) are under /usr.
  local linked
  linked="$(grep -o '^/usr/[^ ()]*\.\(a\|o\)' "$map" | sort -u)"
  local packages=()
  for file in $linked; do
    packages+=("$(package_of "$file")")
  done
  local headers
  headers="$(header_packages)"
  write_notices "$stage/$name" "${packages[@]}" $headers
  rm -f "$dist/$name.zip"
  (cd "$stage" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")
  echo "$dist/$name.zip"
}

package_linux() {
  local modules="scenario-window.so scenario-raster.so scenario-http.so"
  if [ -z "$linux_build" ]; then
    cmake --preset normal >/dev/null
    cmake --build --preset normal --target scenario-compiler scenario-window \
      scenario-raster scenario-http
    linux_build="$source_dir/build"
  fi
  local files=()
  for file in scenario-compiler $modules; do
    if [ ! -f "$linux_build/$file" ]; then
      echo "package.sh: $linux_build/$file is missing: build the normal" \
           "preset" >&2
      exit 1
    fi
    files+=("$linux_build/$file")
  done
  local name="scenario-compiler-$version-linux-x64"
  lay_out "$stage/$name" "${files[@]}"
  # The release carries no debug information (the normal build has it).
  for file in scenario-compiler $modules; do
    strip --strip-debug "$stage/$name/$file"
  done
  # What each file loads itself, found where the loader finds it.
  local packages=()
  for file in "${files[@]}"; do
    local needed
    needed="$(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
    for library in $needed; do
      local path
      path="$(ldd "$file" | awk -v l="$library" '$1 == l { print $3 }')"
      if [ -z "$path" ] || [ ! -e "$path" ]; then
        echo "package.sh: $file needs $library, which is not found" >&2
        exit 1
      fi
      packages+=("$(package_of "$path")")
    done
  done
  local headers
  headers="$(header_packages)"
  write_notices "$stage/$name" "${packages[@]}" $headers
  rm -f "$dist/$name.tar.gz"
  (cd "$stage" && tar --owner=0 --group=0 -czf "$dist/$name.tar.gz" "$name")
  echo "$dist/$name.tar.gz"
}

package_editors
if [ "$only" = "" ] || [ "$only" = windows ]; then package_windows; fi
if [ "$only" = "" ] || [ "$only" = linux ]; then package_linux; fi
