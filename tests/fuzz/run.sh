#!/usr/bin/env bash
# Runs every fuzzer (the six picture decoders, then the window template) for the
# given seconds each, starting from the committed seeds: the decoding tests' picture
# fixtures of the decoder's kind, and the inputs kept here in corpus/ that are no
# fixture. New inputs go to a scratch corpus so the seeds stay small. A crash leaves
# its input in <build>/crashes/ and fails the run.
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
fuzzers=(jpeg png bmp icon gif pcx template)
fixtures="$here/../host/pictures"
# The file ending of each decoder's fixtures; the template reader has none.
declare -A endings=([jpeg]=jpg [png]=png [bmp]=bmp [icon]=ico [gif]=gif [pcx]=pcx)
mkdir -p "$build/crashes"
# Pictures up to the pixel cap are allowed, so inputs declaring tens of megabytes are
# routine; a short quarantine keeps ASan's memory from piling up between them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32}
status=0
for fuzzer in "${fuzzers[@]}"; do
  work="$build/corpus/$fuzzer"
  seeds="$build/seeds/$fuzzer"
  mkdir -p "$work"
  rm -rf "$seeds" && mkdir -p "$seeds"
  if [ -n "${endings[$fuzzer]:-}" ]; then
    find "$fixtures" -maxdepth 1 -name "*.${endings[$fuzzer]}" -exec cp -t "$seeds" {} +
  fi
  # A decoder whose every seed is a fixture has no folder here.
  kept=()
  [ -d "$here/corpus/$fuzzer" ] && kept=("$here/corpus/$fuzzer")
  if ! "$build/fuzz_$fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=3072 -malloc_limit_mb=256 -print_final_stats=0 \
      -artifact_prefix="$build/crashes/$fuzzer-" "$work" "$seeds" "${kept[@]}" >"$build/fuzz_$fuzzer.log" 2>&1; then
    echo "fuzz_$fuzzer found a crash; see $build/fuzz_$fuzzer.log and $build/crashes/" >&2
    status=1
  else
    echo "fuzz_$fuzzer: $(grep -o 'stat::number_of_executed_units: [0-9]*\|#[0-9]*.*DONE.*' "$build/fuzz_$fuzzer.log" | tail -1)"
  fi
done
exit $status
