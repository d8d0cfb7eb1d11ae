#!/usr/bin/env bash
# Runs a Windows program under the project's Wine test bed (see wine-env.sh) and
# exits with its exit code. Used by ctest as CMAKE_CROSSCOMPILING_EMULATOR and by
# `make run`.
#   tests/wine/wine-run.sh PROGRAM.exe [ARGS...]
# PROGRAM may be a Linux path. Stdin, stdout and stderr are the caller's.
# Wine hands back the low 8 bits of the Windows exit code: ExitProcess(3) gives 3,
# ExitProcess(-1) gives 255.
set -euo pipefail

# shellcheck source=tests/wine/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

main() {
  [ $# -ge 1 ] || { echo "usage: $0 PROGRAM [ARGS...]" >&2; exit 2; }
  wine_env_init
  # start is idempotent and quick once everything runs. Wine's own chatter goes
  # to the log; only a failure message reaches the caller's stderr.
  mkdir -p "$wine_root"
  cmd_start >>"$wine_log" </dev/null
  # cmd_start exported the environment and DISPLAY into this shell. A program that
  # ends badly without a word (killed at start-up, say) is at least named with its
  # status.
  local status=0
  wine "$@" || status=$?
  [ "$status" -eq 0 ] || echo "wine-run: $1 ended with status $status" >&2
  return "$status"
}

main "$@"
