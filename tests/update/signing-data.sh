#!/usr/bin/env bash
# Signing data for the update tests, made by the maintainer's script at build
# time: two key pairs, the public keys, and the META lines of releases whose
# package is PACKAGE: a plain one, one with every field, and one signed the
# way releases were before the signed text began with its label.
#   bash tests/update/signing-data.sh OUT_DIR PACKAGE
set -euo pipefail
out=$1
package=$2
script=$(dirname "$0")/../../scripts/update-sign.py
sign="python3 $script"
rm -rf "$out"
mkdir -p "$out"
$sign keygen "$out/key.pem" >"$out/public.txt"
$sign keygen "$out/other.pem" >"$out/other-public.txt"
url=http://127.0.0.1:8080/releases/Kaleidon-Setup.exe
$sign sign --key "$out/key.pem" --package "$package" --url $url --version 1.0.1.0 --valid-days 3650 \
  --run '/S /D=C:\Programme\Kaléidon' >"$out/release.html"
$sign sign --key "$out/key.pem" --package "$package" --url $url --version 1.0.1.0 --run /S --valid-days 3650 \
  --readme http://127.0.0.1:8080/releases/readme.txt --readme-document http://127.0.0.1:8080/releases/ReadMe.rtf \
  --readme-document-file "$package" >"$out/release-full.html"
# The old signed text: version, address, SHA-256 and run parameters, with no label.
python3 - "$script" "$out/key.pem" "$out/release.html" >"$out/release-unlabelled.html" <<'PYTHON'
import base64, re, runpy, sys
sign = runpy.run_path(sys.argv[1])
page = open(sys.argv[3], encoding="utf-8").read()
fields = dict(re.findall(r'HTTP-EQUIV="(\w+)" CONTENT="([^"]*)"', page))
text = "\n".join(fields[n] for n in ["KDNVersion", "KDNDownload", "KDNSHA256", "KDNRun"]).encode("utf-8")
signature = base64.b64encode(sign["raw_signature"](sign["openssl"]("dgst", "-sha256", "-sign", sys.argv[2], data=text)))
print(re.sub(r'(HTTP-EQUIV="KDNSignature" CONTENT=")[^"]*', r"\g<1>" + signature.decode(), page), end="")
PYTHON
