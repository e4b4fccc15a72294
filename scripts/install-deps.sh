#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing. Run as root on a Debian 12 machine.
set -euo pipefail

packages=(
  cmake g++ make pkg-config clang-format-14
  libgtest-dev libbenchmark-dev time
  libcli11-dev nlohmann-json3-dev libxxhash-dev libcpp-httplib-dev
  libfltk1.3-dev
  librsvg2-dev libcairo2-dev libxml2-dev libglib2.0-dev
  xvfb xdotool x11-utils imagemagick
  chromium chromium-driver python3-selenium
  fonts-urw-base35
  neovim
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix wine64 googletest
)

# Node.js and npm run the VS Code extension's tests and packaging: Debian's,
# only when the machine has no node or npm of its own (a newer one that is
# there is kept).
if ! command -v node >/dev/null 2>&1; then packages+=(nodejs); fi
if ! command -v npm >/dev/null 2>&1; then packages+=(npm); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Another set-up may hold the package manager's lock (two commands started
  # at once on a fresh machine): wait for it rather than fail.
  wait_for_lock=(-o DPkg::Lock::Timeout="${APT_LOCK_TIMEOUT:-900}")
  apt-get "${wait_for_lock[@]}" update -qq
  apt-get "${wait_for_lock[@]}" install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
