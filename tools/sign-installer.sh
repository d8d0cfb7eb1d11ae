#!/usr/bin/env bash
# Signs the installer with a code-signing certificate (Authenticode, SHA-256) into a
# copy, and verifies the copy; the unsigned build stays as it was, to be compared
# with a rebuild of its commit. A time stamp is asked for only from a server the
# caller names: without one the signature is valid only while the certificate is.
#   tools/sign-installer.sh IN OUT PFX PASSWORD_FILE [TIMESTAMP_URL] [CA_FILE]
# PASSWORD_FILE may be empty for a PFX without a password. CA_FILE names the
# certificates the verification trusts, in place of the system's (for a test
# certificate that no authority issued).
set -euo pipefail

[ $# -ge 4 ] || { echo "usage: $0 IN OUT PFX PASSWORD_FILE [TIMESTAMP_URL] [CA_FILE]" >&2; exit 2; }
input=$1 output=$2 pfx=$3 password_file=$4 timestamp_url=${5:-} ca_file=${6:-}

if [ -z "$pfx" ]; then
  cat >&2 <<'EOF'
make sign needs a code-signing certificate with its private key, as a PKCS#12 file:
  make sign PFX=certificate.pfx PASSWORD_FILE=password.txt [TIMESTAMP_URL=http://...]
Windows trusts a signature only from a certificate a public certification authority
issued for code signing (an "OV" or "EV" code-signing certificate, from the
authorities Microsoft's root programme lists). The authority checks who you are.
Since June 2023 such keys are issued on a hardware token or in a cloud key store and
cannot be exported as a .pfx; this target takes a .pfx (an older certificate, or a
test one: openssl req -x509 ... and openssl pkcs12 -export make both), and for a
token osslsigncode signs through its -pkcs11module option instead.
Name the authority's time-stamp server in TIMESTAMP_URL so that the signature stays
valid after the certificate expires.
EOF
  exit 2
fi
[ -f "$input" ] || { echo "sign: no $input (make build first)" >&2; exit 1; }
[ -f "$pfx" ] || { echo "sign: no certificate file $pfx" >&2; exit 1; }
[ -z "$password_file" ] || [ -f "$password_file" ] || { echo "sign: no password file $password_file" >&2; exit 1; }

sign=(osslsigncode sign -pkcs12 "$pfx" -h sha256 -n "Trellimo Setup" -in "$input" -out "$output.part")
[ -z "$password_file" ] || sign+=(-readpass "$password_file")
[ -z "$timestamp_url" ] || sign+=(-ts "$timestamp_url")
verify=(osslsigncode verify -in "$output.part")
[ -z "$ca_file" ] || verify+=(-CAfile "$ca_file")

rm -f "$output.part"
"${sign[@]}" >/dev/null
if ! verify_log=$("${verify[@]}" 2>&1); then
  echo "$verify_log" >&2
  rm -f "$output.part"
  echo "sign: the signed copy did not verify; nothing written to $output" >&2
  exit 1
fi
mv "$output.part" "$output"
echo "signed $input into $output (SHA-256$([ -n "$timestamp_url" ] && echo ", time-stamped by $timestamp_url")); osslsigncode verify passed"
