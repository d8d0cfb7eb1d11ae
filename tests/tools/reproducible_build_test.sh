#!/usr/bin/env bash
# Two builds of the checked-out commit must give the same bytes. It is cloned into
# two fresh folders and built in each with `make build`, one after the other (so
# minutes apart): the first with SOURCE_DATE_EPOCH unset, so the Makefile takes the
# commit's time, the second with the commit's time given. The installer, its window
# template and its constants area are compared byte for byte, the installer's PE
# time stamp against the commit's time, and each output is searched for the folder
# it was built in. Uncommitted changes are not part of what is built.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel) || exit 1
commit=$(git -C "$repo" rev-parse HEAD) || exit 1
commit_time=$(git -C "$repo" log -1 --format=%ct "$commit") || exit 1
readonly outputs=(TrellimoSetup.exe window.tpl constants.bin)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/trellimo-reproducible.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT

# Builds the commit in a clone at $scratch/$1, with the environment the rest of the
# arguments give; its log stays in $scratch/$1.log.
build_clone() {
  local name=$1
  shift
  local folder=$scratch/$name
  git clone --quiet --no-checkout "$repo" "$folder" && git -C "$folder" checkout --quiet --detach "$commit" || return 1
  echo "building $commit in $folder ($*), started $(date -u +%H:%M:%S)"
  if ! env "$@" make -C "$folder" --no-print-directory build >"$scratch/$name.log" 2>&1; then
    echo "the build in $folder failed; the end of its log:" >&2
    tail -n 30 "$scratch/$name.log" >&2
    return 1
  fi
}

build_clone first -u SOURCE_DATE_EPOCH || exit 1
build_clone second SOURCE_DATE_EPOCH="$commit_time" || exit 1

failures=0
for output in "${outputs[@]}"; do
  first=$scratch/first/out/$output
  second=$scratch/second/out/$output
  echo "$(sha256sum <"$first" | cut -d' ' -f1)  first/out/$output"
  echo "$(sha256sum <"$second" | cut -d' ' -f1)  second/out/$output"
  if ! cmp --quiet "$first" "$second"; then
    echo "DIFFERS: $output ($(cmp "$first" "$second" | head -n 1))" >&2
    failures=$((failures + 1))
  fi
  for name in first second; do
    if strings -a "$scratch/$name/out/$output" | grep --quiet --fixed-strings "$scratch/$name"; then
      echo "EMBEDS ITS BUILD FOLDER: $name/out/$output" >&2
      failures=$((failures + 1))
    fi
  done
done

# objdump prints the stamp as a date in the local time zone; compared in UTC.
stamp=$(TZ=UTC i686-w64-mingw32-objdump -p "$scratch/first/out/TrellimoSetup.exe" | sed -n 's|^Time/Date[[:space:]]*||p')
expected=$(TZ=UTC LC_ALL=C date -d "@$commit_time" '+%a %b %e %H:%M:%S %Y')
if [ "$stamp" != "$expected" ]; then
  echo "PE TIME STAMP: $stamp, expected the commit's time $expected" >&2
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  echo "not reproducible: $failures difference(s) above" >&2
  exit 1
fi
echo "reproducible: ${outputs[*]} are the same bytes in both builds; PE time stamp $stamp (the commit's time)"
