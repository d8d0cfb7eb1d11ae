#!/usr/bin/env bash
# A signed installer starts and installs like the unsigned one, and a byte flipped
# in its payload still ends in the integrity error box. The start-up check covers
# the constants area and the window template as the program sees them in memory;
# the signature is appended to the file, outside the image, and is not part of it.
# A copy of the built installer is signed through `make sign` with a throwaway
# self-signed certificate, verified, and given to the quick installation and the
# flipped-payload case of the Wine tests in place of the unsigned one.
#   tests/wine/signed-installer-test.sh SETUP.exe INSTALL_TESTS.exe INTEGRITY_TESTS.exe
# What else the tests need comes in the environment.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
[ $# -eq 3 ] || { echo "usage: $0 SETUP.exe INSTALL_TESTS.exe INTEGRITY_TESTS.exe" >&2; exit 2; }
setup=$1 install_tests=$2 integrity_tests=$3

scratch=$(mktemp -d /tmp/trellimo-signed.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Trellimo throwaway test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$scratch/key.pem" -out "$scratch/certificate.pem" 2>/dev/null
openssl rand -hex 16 >"$scratch/password"
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/certificate.pem" \
  -passout "file:$scratch/password" -out "$scratch/certificate.pfx"

signed=$scratch/TrellimoSetup.exe
make -C "$repo" --no-print-directory sign SIGN_IN="$setup" SIGNED="$signed" PFX="$scratch/certificate.pfx" \
  PASSWORD_FILE="$scratch/password" CA_FILE="$scratch/certificate.pem"

verified=$(osslsigncode verify -in "$signed" -CAfile "$scratch/certificate.pem" 2>&1) || {
  echo "$verified" >&2
  echo "FAILED: osslsigncode does not verify the signed copy" >&2
  exit 1
}
grep -q "Message digest algorithm *: SHA256" <<<"$verified" || {
  echo "$verified" >&2
  echo "FAILED: the signature's digest is not SHA-256" >&2
  exit 1
}
[ "$(stat -c %s "$signed")" -gt "$(stat -c %s "$setup")" ] || { echo "FAILED: the signed copy carries no signature" >&2; exit 1; }

# Each run must have run its one case: a filter that no longer matches runs none,
# and GoogleTest counts that as passing. Wine's output goes to a file, never
# through a pipe (its daemons would hold the pipe open).
run_one_case() {
  local tests=$1 filter=$2 log=$scratch/run.log status=0
  TRELLIMO_SETUP=$signed "$here/wine-run.sh" "$tests" --gtest_filter="$filter" >"$log" 2>&1 || status=$?
  cat "$log"
  [ "$status" -eq 0 ] || exit "$status"
  grep -q '^\[  PASSED  \] 1 test\.' "$log" || { echo "FAILED: $filter did not run as one passing case" >&2; exit 1; }
}

run_one_case "$install_tests" Installer.QuickInstallShowsElevenStepsAndInstallsTheProduct
run_one_case "$integrity_tests" OneFlippedByte/DamagedInstaller.ShowsTheErrorBoxBeforeAnyWindowAndTouchesNothing/PayloadArchive
