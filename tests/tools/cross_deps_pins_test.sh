#!/usr/bin/env bash
# The pinned versions of the cross-built libraries against what apt lists on this
# machine: a pin apt cannot serve stops the build before anything is downloaded or
# removed, naming the version wanted and the ones on offer.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_deps=$here/../../tools/build-cross-deps.sh
source "$here/test_support.sh"

apt_offers() { apt-cache showsrc --only-source "$1" | awk '/^Version:/ {print $2}'; }

# Runs the build into a scratch prefix with the repo's pins, PKG's line replaced.
build_with_pin() {
  local pkg=$1 line=$2
  scratch=$(mktemp -d)
  grep -v "^$pkg " "$here/../../tools/cross-deps-versions.txt" >"$scratch/pins"
  echo "$line" >>"$scratch/pins"
  status=0
  output=$("$build_deps" --pins "$scratch/pins" "$scratch/deps/prefix" 2>&1) || status=$?
}

test_version_apt_does_not_list() {
  build_with_pin libjpeg-turbo "libjpeg-turbo 1:9.9.9-0 d718ead0dfbcbc8523665c02a7f7152e31039ded641d022868722623bb3b486d"
  expect_equal "$status" 1 "build status"
  expect_contains "$output" "libjpeg-turbo 1:9.9.9-0 is pinned in $scratch/pins, but apt offers $(apt_offers libjpeg-turbo | head -n 1)"
  expect_contains "$output" "tools/build-cross-deps.sh --pin"
  expect_equal "$(ls "$scratch/deps")" "prefix" "what the failed build left"
}

test_checksum_apt_does_not_list() {
  local version
  version=$(apt_offers libpng1.6 | head -n 1)
  build_with_pin libpng1.6 "libpng1.6 $version 0000000000000000000000000000000000000000000000000000000000000000"
  expect_equal "$status" 1 "build status"
  expect_contains "$output" "libpng1.6 $version: apt lists the .dsc with SHA-256"
  expect_contains "$output" "but $scratch/pins pins 0000000000000000000000000000000000000000000000000000000000000000"
}

run_tests test_version_apt_does_not_list test_checksum_apt_does_not_list
