#!/usr/bin/env bash
# Signs a Windows executable in place with osslsigncode, as ORVANE_SIGN_COMMAND wants it (the file
# comes last):
#   ORVANE_SIGN_COMMAND="$PWD/scripts/sign-osslsigncode.sh CERT.pem KEY.pem" cmake --preset ...
# CERT.pem holds the code-signing certificate (and its chain), KEY.pem its private key.
# ORVANE_SIGN_TIMESTAMP=<URL of an RFC 3161 server> adds a time stamp, so that the signature stays
# valid after the certificate expires.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 CERT.pem KEY.pem FILE" >&2
  exit 2
fi
cert=$1 key=$2 file=$3
timestamp=()
[ -z "${ORVANE_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$ORVANE_SIGN_TIMESTAMP")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
signed=$scratch/signed
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n Orvane "${timestamp[@]}" \
  -in "$file" -out "$signed" >/dev/null
# Keeps the file's permissions: only its bytes are replaced.
cat "$signed" >"$file"
