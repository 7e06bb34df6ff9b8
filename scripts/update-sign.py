#!/usr/bin/env python3
"""Signs Kaleidon releases for the update check, with the openssl command.

  update-sign.py keygen PRIVATE.pem
      Makes a P-256 key pair, keeps the private key in PRIVATE.pem (readable
      by its owner only; an existing file is never replaced) and prints the
      public key, the value for -DKALEIDON_UPDATE_PUBLIC_KEY=... .
  update-sign.py public PRIVATE.pem
      Prints the public key of a key pair again.
  update-sign.py sign --key PRIVATE.pem --package FILE --url URL --version V [--run PARAMS]
                      [--readme URL] [--readme-document URL --readme-document-file FILE]
                      [--expires YYYY-MM-DDTHH:MM:SSZ | --valid-days N]
      Prints the META lines that describe the release on the product
      information page: version, download address, the package's size and
      SHA-256, run parameters, the plain read-me's address, the read-me
      document's address and SHA-256, the date the information expires (by
      default 60 days from now) and the signature over all of them.
  update-sign.py redirect --key PRIVATE.pem --to URL [--expires ... | --valid-days N]
      Prints the META lines of a page that sends the program on to another
      page: the redirect, its expiry and the signature over both.
"""
import argparse
import base64
import datetime
import hashlib
import os
import subprocess
import sys
import tempfile

META = '<META HTTP-EQUIV="{}" CONTENT="{}">'
# The program reads a META value up to its closing quote, within 1000 characters.
MAX_VALUE = 1000
# The first line of every signed text, and the fields that follow it, in order.
LABEL = "Kaleidon update v2"
SIGNED = ["KDNRedirect", "KDNVersion", "KDNDownload", "KDNSize", "KDNSHA256", "KDNRun", "KDNReadme",
          "KDNReadmeExt", "KDNReadmeSHA256", "KDNExpires"]


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


def check_address(name, url):
    check_value(name, url)
    if not url.lower().startswith("http://"):
        sys.exit(f"{name}: the program fetches http:// addresses only")


def sha256_of(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def expiry(args):
    if args.expires:
        try:
            datetime.datetime.strptime(args.expires, "%Y-%m-%dT%H:%M:%SZ")
        except ValueError:
            sys.exit("--expires: a UTC time such as 2026-09-01T00:00:00Z")
        return args.expires
    until = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(days=args.valid_days)
    return until.strftime("%Y-%m-%dT%H:%M:%SZ")


def print_signed(key, fields):
    """The META lines of the fields given, then the signature over all signed fields."""
    text = "\n".join([LABEL] + ["%s=%s" % (name, fields.get(name, "")) for name in SIGNED]).encode("utf-8")
    der = openssl("dgst", "-sha256", "-sign", key, data=text)
    for name in SIGNED:
        if name in fields:
            print(META.format(name, fields[name]))
    print(META.format("KDNSignature", base64.b64encode(raw_signature(der)).decode()))


def sign(args):
    check_address("--url", args.url)
    check_value("--run", args.run)
    parts = args.version.split(".")
    if not all(p.isdigit() and len(p) <= 9 for p in parts) or len(parts) > 16:
        sys.exit("--version: dot-separated numbers, such as 1.0.1.108")
    fields = {"KDNVersion": args.version, "KDNDownload": args.url, "KDNSize": str(os.path.getsize(args.package)),
              "KDNSHA256": sha256_of(args.package), "KDNRun": args.run}
    if args.readme:
        check_address("--readme", args.readme)
        fields["KDNReadme"] = args.readme
    if bool(args.readme_document) != bool(args.readme_document_file):
        sys.exit("--readme-document and --readme-document-file go together")
    if args.readme_document:
        check_address("--readme-document", args.readme_document)
        fields["KDNReadmeExt"] = args.readme_document
        fields["KDNReadmeSHA256"] = sha256_of(args.readme_document_file)
    fields["KDNExpires"] = expiry(args)
    print_signed(args.key, fields)


def redirect(args):
    check_address("--to", args.to)
    print_signed(args.key, {"KDNRedirect": args.to, "KDNExpires": expiry(args)})


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


def add_expiry(parser):
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--expires")
    group.add_argument("--valid-days", type=int, default=60)


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
    p.add_argument("--readme")
    p.add_argument("--readme-document")
    p.add_argument("--readme-document-file")
    add_expiry(p)
    p = commands.add_parser("redirect")
    p.add_argument("--key", required=True)
    p.add_argument("--to", required=True)
    add_expiry(p)
    args = parser.parse_args()
    if args.command == "keygen":
        keygen(args)
    elif args.command == "public":
        print(public_key(args.private))
    elif args.command == "sign":
        sign(args)
    else:
        redirect(args)


if __name__ == "__main__":
    main()
