#!/usr/bin/env bash
# Runs a command with DISPLAY naming a virtual X server (Xvfb) of its own,
# and stops the server once the command has ended. The Windows build's
# window tests run through it: Wine shows their windows on an X display,
# and a Windows program cannot start or stop a Linux one itself.
#
# Usage: run-under-xvfb.sh [--then PROGRAM [ARG...] --] COMMAND [ARG...]
#
# --then runs PROGRAM with its arguments after COMMAND and before the server
# stops (for at most 60 s): Wine's `wineserver -w`, which waits until the
# Wine processes that COMMAND leaves for a moment (the desktop's shell, an
# X client) have ended. Exits with COMMAND's status. When Xvfb is missing
# or does not start, the command runs without DISPLAY (its window cases
# then skip) and a line on standard error says why.
set -u

then_command=()
if [[ "${1-}" == "--then" ]]; then
  shift
  while (($# > 0)) && [[ "$1" != "--" ]]; do
    then_command+=("$1")
    shift
  done
  shift  # the "--"
fi
if (($# == 0)); then
  echo "usage: $0 [--then PROGRAM [ARG...] --] COMMAND [ARG...]" >&2
  exit 2
fi

work=$(mktemp -d) || exit 1
server=
command_pid=
cleanup() {
  if [[ -n "$command_pid" ]]; then
    kill "$command_pid" 2>/dev/null
    wait "$command_pid" 2>/dev/null
  fi
  if [[ -n "$server" ]]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

unset DISPLAY
if command -v Xvfb >/dev/null; then
  # The server picks a free display number and writes it (-displayfd) once
  # it accepts connections, so that parallel runs never collide.
  # -noreset: it would refuse connections for a moment each time its last
  # client leaves.
  mkfifo "$work/number"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$work/number" 2>"$work/xvfb.log" &
  server=$!
  number=
  # The fifo's writer is open as soon as Xvfb starts; it closes (and the
  # read ends) if the server dies first.
  if read -r -t 15 number <"$work/number" && [[ -n "$number" ]]; then
    export DISPLAY=":$number"
  else
    echo "$0: Xvfb did not start: $(head -c 2000 "$work/xvfb.log")" >&2
  fi
else
  echo "$0: Xvfb is missing: run scripts/install-deps.sh" >&2
fi

# In the background, so that a TERM from ctest runs the cleanup at once.
"$@" &
command_pid=$!
wait "$command_pid"
status=$?
command_pid=

if ((${#then_command[@]} > 0)); then
  timeout 60 "${then_command[@]}"
fi
exit "$status"
