#!/usr/bin/env bash
# Runs the FullDrive tests of a test program, which need a drive that fills up
# part-way through a write: a tmpfs of SIZE (as mount takes it, e.g. 1m), mapped as
# a Wine drive letter for the length of the run and named to the tests in
# TRELLIMO_FULL_DRIVE. What else the tests need comes in the environment.
#   tests/wine/full-drive-test.sh SIZE TESTS.exe
# Mounting needs root; elsewhere the test is reported as skipped (exit 77).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wine/wine-env.sh
source "$here/wine-env.sh"

[ $# -eq 2 ] || { echo "usage: $0 SIZE TESTS.exe" >&2; exit 2; }
if [ "$(id -u)" -ne 0 ]; then
  echo "full-drive-test: mounting a tmpfs needs root; skipped" >&2
  exit 77
fi

# The prefix must exist before a drive can be added to it.
"$here/wine-env.sh" start
wine_env_init

# The first letter from T on that the prefix does not use yet.
free_drive_letter() {
  local letter
  for letter in t u v w x y; do
    [ -e "$wine_prefix/dosdevices/$letter:" ] || [ -L "$wine_prefix/dosdevices/$letter:" ] || { echo "$letter"; return 0; }
  done
  return 1
}

letter=$(free_drive_letter) || { echo "full-drive-test: no free drive letter" >&2; exit 1; }
mount_point=$(mktemp -d /tmp/trellimo-full-drive.XXXXXX)
drive_link=$wine_prefix/dosdevices/$letter:

cleanup() {
  rm -f "$drive_link"
  umount "$mount_point" 2>/dev/null || true
  rmdir "$mount_point"
}
trap cleanup EXIT

mount -t tmpfs -o "size=$1,mode=0755" tmpfs "$mount_point"
ln -s "$mount_point" "$drive_link"

TRELLIMO_FULL_DRIVE=${letter^^}: "$here/wine-run.sh" "$2" --gtest_filter='FullDrive.*'
