#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing. Run as root on a Debian 12 machine.
set -euo pipefail

packages=(
  cmake g++ make pkg-config clang-format-14
  libgtest-dev libbenchmark-dev time
  libcli11-dev nlohmann-json3-dev
  libfltk1.3-dev
  librsvg2-dev libcairo2-dev libxml2-dev
  xvfb xdotool x11-utils imagemagick
  fonts-urw-base35
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
