#!/usr/bin/env bash
# Our installer beside an NSIS 3.08 installer of the same payload, registry values,
# INI change and shortcuts (stored, zlib and solid LZMA), with a trivial one-window
# program and a plain copy of the payload as floors: one run, one warm wineserver,
# one virtual display. Writes OUT/bench.json and OUT/bench.md.
#   tools/bench-installer.sh WIN_BUILD OUT [REPEATS]
set -euo pipefail
win_build=$(realpath "$1")
out=$(realpath "$2")
repeats=${3:-5}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
work=$win_build/bench
mkdir -p "$work"

build_peers() {
  local compression
  for compression in off zlib lzma; do
    makensis -V2 -INPUTCHARSET UTF8 -DPAYLOAD_DIR="$out/payload" -DOUTFILE="$work/peer-$compression.exe" \
      -DCOMPRESSION="$compression" "$repo/tests/bench/peer-installer.nsi" >/dev/null
  done
}

# The driver's progress goes to a file, not a pipe: see the Wine notes on pipes.
run_driver() {
  "$repo/tests/wine/wine-run.sh" "$win_build/tests/bench/installer_bench.exe" "$repeats" \
    "$out/TrellimoSetup.exe" "$win_build/tests/bench/trivial_window.exe" "$out/payload" "$out" \
    "$work/peer-off.exe" "$work/peer-zlib.exe" "$work/peer-lzma.exe" >"$work/driver.log" 2>&1
}

build_peers
"$repo/tests/wine/wine-env.sh" start
status=0
run_driver || status=$?
"$repo/tests/wine/wine-env.sh" stop >/dev/null
if [ "$status" -ne 0 ]; then
  cat "$work/driver.log" >&2
  exit "$status"
fi
echo "installer bench, $repeats runs each (out/bench.json):"
cat "$out/bench.md"
