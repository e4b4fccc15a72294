#!/usr/bin/env bash
# The install script, run against stand-ins for dpkg-query and apt-get that
# report every package missing and log their arguments, must ask apt to
# wait for the package manager's lock on each call instead of failing at
# once when another set-up holds it.
set -euo pipefail
script="$(cd "$(dirname "$0")" && pwd)/install-deps.sh"
bin="$(mktemp -d)"
trap 'rm -rf "$bin"' EXIT
printf '#!/bin/sh\nexit 1\n' >"$bin/dpkg-query"
printf '#!/bin/sh\necho "$*" >>"%s/apt.log"\n' "$bin" >"$bin/apt-get"
chmod +x "$bin/dpkg-query" "$bin/apt-get"
PATH="$bin:$PATH" "$script" >/dev/null

calls="$(wc -l <"$bin/apt.log")"
[ "$calls" -eq 2 ] || { echo "FAIL: expected update and install, got:";
  cat "$bin/apt.log"; exit 1; }
while IFS= read -r call; do
  grep -q -- '-o DPkg::Lock::Timeout=[1-9]' <<<"$call" || {
    echo "FAIL: apt-get does not wait for the lock: $call"; exit 1; }
done <"$bin/apt.log"
grep -q ' install .*clang-14' "$bin/apt.log" || {
  echo "FAIL: the fuzz build's compiler is not installed"; exit 1; }
# A machine's own node and npm are kept: Debian's come only where none is.
if command -v node >/dev/null && command -v npm >/dev/null; then
  if grep -qE ' (nodejs|npm)( |$)' "$bin/apt.log"; then
    echo "FAIL: Debian's nodejs or npm asked for beside the machine's own"
    exit 1
  fi
fi
echo "ok"
