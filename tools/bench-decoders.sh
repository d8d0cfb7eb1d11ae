#!/usr/bin/env bash
# Decode time per megapixel of our JPEG and PNG decoders against the libraries' own
# command-line decoders (djpeg, pngtopnm) on the same pictures, measured in one run.
#   tools/bench-decoders.sh BENCH_TOOL WORK_DIR
set -euo pipefail
bench_tool=$1
work=$2
repeats=7
mkdir -p "$work"

make_pictures() {
  [ -f "$work/bench.jpg" ] && [ -f "$work/bench.png" ] && return 0
  convert -size 2000x1500 -seed 7 plasma:fractal -quality 90 "$work/bench.jpg"
  convert "$work/bench.jpg" "$work/bench.png"
}

# The fastest of the repeats, in milliseconds, of a command whose output is dropped.
fastest_run_ms() {
  local best="" start end elapsed
  for _ in $(seq "$repeats"); do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    elapsed=$(( (end - start) / 1000 ))
    if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.3f", us / 1000 }'
}

report() {
  local format=$1 file=$2 peer_name=$3
  shift 3
  local ours megapixels peer
  read -r ours megapixels < <("$bench_tool" "$file" "$repeats")
  peer=$(fastest_run_ms "$@")
  awk -v f="$format" -v o="$ours" -v p="$peer" -v mp="$megapixels" -v n="$peer_name" 'BEGIN {
    printf "%-4s ours %8.2f ms/MP   %-8s %8.2f ms/MP   ratio %.2f\n", f, o / mp, n, p / mp, o / p }'
}

make_pictures
echo "decode time per megapixel, fastest of $repeats (2000 x 1500 pictures):"
report JPEG "$work/bench.jpg" djpeg djpeg -bmp "$work/bench.jpg"
report PNG "$work/bench.png" pngtopnm pngtopnm "$work/bench.png"
