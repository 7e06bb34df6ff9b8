#!/usr/bin/env bash
# Signing data for the update tests, made by the maintainer's script at build
# time: two key pairs, the public keys, and the META lines of a release whose
# package is PACKAGE.
#   bash tests/update/signing-data.sh OUT_DIR PACKAGE
set -euo pipefail
out=$1
package=$2
sign="python3 $(dirname "$0")/../../scripts/update-sign.py"
rm -rf "$out"
mkdir -p "$out"
$sign keygen "$out/key.pem" >"$out/public.txt"
$sign keygen "$out/other.pem" >"$out/other-public.txt"
$sign sign --key "$out/key.pem" --package "$package" --url http://127.0.0.1:8080/releases/Kaleidon-Setup.exe \
  --version 1.0.1.0 --run '/S /D=C:\Programme\Kaléidon' >"$out/release.html"
