#!/usr/bin/env python3
"""Signs Kaleidon releases for the update check, with the openssl command.

  update-sign.py keygen PRIVATE.pem
      Makes a P-256 key pair, keeps the private key in PRIVATE.pem (readable
      by its owner only; an existing file is never replaced) and prints the
      public key, the value for -DKALEIDON_UPDATE_PUBLIC_KEY=... .
  update-sign.py public PRIVATE.pem
      Prints the public key of a key pair again.
  update-sign.py sign --key PRIVATE.pem --package FILE --url URL --version V [--run PARAMS]
      Prints the META lines that describe the release on the product
      information page: version, download address, run parameters, the
      package's SHA-256 and the signature over the four.
"""
import argparse
import base64
import hashlib
import os
import subprocess
import sys
import tempfile

META = '<META HTTP-EQUIV="{}" CONTENT="{}">'
# The program reads a META value up to its closing quote, within 1000 characters.
MAX_VALUE = 1000


def openssl(*args, data=None):
    return subprocess.run(["openssl", *args], input=data, stdout=subprocess.PIPE, check=True).stdout


def public_key(private_pem):
    der = openssl("pkey", "-in", private_pem, "-pubout", "-outform", "DER")
    point = der[-65:]  # SubjectPublicKeyInfo ends with the uncompressed point
    if len(der) != 91 or point[0] != 4:
        sys.exit(f"{private_pem}: not a P-256 key")
    return base64.b64encode(point[1:]).decode()


def der_integer(data, at):
    if data[at] != 0x02 or data[at + 1] > 33:
        raise ValueError("not a DER INTEGER")
    length = data[at + 1]
    value = int.from_bytes(data[at + 2:at + 2 + length], "big")
    return value, at + 2 + length


def raw_signature(der):
    """r and s of a DER ECDSA-Sig-Value, 32 bytes each."""
    if der[0] != 0x30 or der[1] != len(der) - 2:
        raise ValueError("not a DER ECDSA signature")
    r, at = der_integer(der, 2)
    s, _ = der_integer(der, at)
    return r.to_bytes(32, "big") + s.to_bytes(32, "big")


def check_value(name, value):
    if '"' in value or "\r" in value or "\n" in value or len(value) > MAX_VALUE:
        sys.exit(f"{name}: a META value has no quotes or line ends and at most {MAX_VALUE} characters")


def sign(args):
    check_value("--url", args.url)
    check_value("--run", args.run)
    if not args.url.lower().startswith("http://"):
        sys.exit("--url: the program downloads http:// addresses only")
    parts = args.version.split(".")
    if not all(p.isdigit() and len(p) <= 9 for p in parts) or len(parts) > 16:
        sys.exit("--version: dot-separated numbers, such as 1.0.1.108")
    with open(args.package, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()
    text = "\n".join([args.version, args.url, sha256, args.run]).encode("utf-8")
    der = openssl("dgst", "-sha256", "-sign", args.key, data=text)
    signature = base64.b64encode(raw_signature(der)).decode()
    for name, value in [("KDNVersion", args.version), ("KDNDownload", args.url), ("KDNRun", args.run),
                        ("KDNSHA256", sha256), ("KDNSignature", signature)]:
        print(META.format(name, value))


def keygen(args):
    if os.path.exists(args.private):
        sys.exit(f"{args.private} exists; a key pair is never replaced")
    directory = os.path.dirname(os.path.abspath(args.private))
    with tempfile.NamedTemporaryFile(dir=directory, delete=False) as tmp:
        pass
    try:
        os.chmod(tmp.name, 0o600)
        openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", tmp.name)
        os.link(tmp.name, args.private)
    finally:
        os.unlink(tmp.name)
    print(public_key(args.private))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    p = commands.add_parser("keygen")
    p.add_argument("private")
    p = commands.add_parser("public")
    p.add_argument("private")
    p = commands.add_parser("sign")
    p.add_argument("--key", required=True)
    p.add_argument("--package", required=True)
    p.add_argument("--url", required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--run", default="")
    args = parser.parse_args()
    if args.command == "keygen":
        keygen(args)
    elif args.command == "public":
        print(public_key(args.private))
    else:
        sign(args)


if __name__ == "__main__":
    main()
