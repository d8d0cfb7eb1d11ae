#!/usr/bin/env bash
# The machine set-up while a package index fails to download, without the network:
# stand-ins for apt-get, dpkg and locale come first on PATH, and apt's folders are
# scratch copies, so the machine running the test is never touched.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
setup=$here/../../tools/setup-machine.sh
source "$here/test_support.sh"

readonly debian_sources='Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main'

# A scratch machine: apt's configuration with the binary sources only, so that the
# set-up adds its deb-src entries and must update; no package lists yet.
new_machine() {
  scratch=$(mktemp -d)
  mkdir -p "$scratch/etc/sources.list.d" "$scratch/lists" "$scratch/source-parts"
  echo "$debian_sources" >"$scratch/etc/sources.list.d/debian.sources"
  : >"$scratch/apt.log"
  export PATH="$here/stand-ins:$PATH"
  export TRELLIMO_APT_ETC=$scratch/etc TRELLIMO_APT_LISTS=$scratch/lists TRELLIMO_APT_RETRY_PAUSE=0
  export STAND_IN_LOG=$scratch/apt.log STAND_IN_SOURCE_PARTS=$scratch/source-parts
  export STAND_IN_MISSING= STAND_IN_INSTALL=fail STAND_IN_INSTALL_WITHOUT_SUITES=fail
}

run_setup() {
  status=0
  "$setup" >"$scratch/out" 2>&1 || status=$?
  output=$(cat "$scratch/out")
}

test_nothing_missing_goes_on_past_a_failed_index() {
  new_machine
  run_setup
  expect_equal "$status" 0 "set-up status"
  expect_equal "$(grep -c ' update ' "$scratch/apt.log")" 3 "update attempts"
  expect_contains "$output" "setup: the package index http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz could not be downloaded (File has unexpected size (374820 != 376004). Mirror sync in progress?"
  expect_contains "$output" "going on without it"
  expect_equal "$(grep -c ' install ' "$scratch/apt.log")" 0 "installs"
  expect_contains "$(cat "$scratch/etc/sources.list.d/debian-src.sources")" "Types: deb-src"
}

test_install_resolves_without_the_failed_suite() {
  new_machine
  STAND_IN_MISSING="wine32 xvfb" STAND_IN_INSTALL_WITHOUT_SUITES=succeed
  run_setup
  expect_equal "$status" 0 "set-up status"
  expect_equal "$(grep -c ' install .*wine32 xvfb$' "$scratch/apt.log")" 2 "installs of the missing packages"
  expect_contains "$output" "trying the install again without the suites whose index failed: bookworm-security"
  local binary=$scratch/source-parts/debian.sources
  expect_contains "$(cat "$binary")" "Suites: bookworm bookworm-updates"
  expect_lacks "$(cat "$binary")" "bookworm-security"
  expect_lacks "$(cat "$scratch/source-parts/debian-src.sources")" "bookworm-security"
  expect_equal "$(cat "$scratch/etc/sources.list.d/debian.sources")" "$debian_sources" "the machine's sources"
}

test_unresolvable_install_names_the_index() {
  new_machine
  STAND_IN_MISSING=wine32
  run_setup
  expect_equal "$status" 1 "set-up status"
  local last
  last=$(tail -n 1 "$scratch/out")
  expect_contains "$last" "setup: could not install wine32: the package index http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz (File has unexpected size"
  expect_contains "$last" "wait a few minutes and run make again"
}

run_tests test_nothing_missing_goes_on_past_a_failed_index \
  test_install_resolves_without_the_failed_suite \
  test_unresolvable_install_names_the_index
