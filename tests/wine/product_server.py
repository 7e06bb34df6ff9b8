"""The product's web site for the update tests: the scripted server of the
HTTP client's tests (tests/net/misbehaving_server.py) on 127.0.0.1, serving
the product information page, a read-me, a read-me document and the
package, each of which a test can make misbehave."""

import base64
import os
import re
import runpy
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "net"))
from misbehaving_server import Server, closed_port, raw, reply  # noqa: E402

SIGN = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "update-sign.py")
META = '<META HTTP-EQUIV="{}" CONTENT="{}">'
# What the page says the package is run with (a META value has no double quotes).
RUN_PARAMS = "/S /D=C:\\Programme\\Kaléidon --from-update"


def ok(body, content_type="text/html"):
    return reply("200 OK", body, ["Content-Type: " + content_type, "Content-Length: %d" % len(body)])


def cut_short(body, sent):
    """Announces the whole body and sends part of it."""
    return reply("200 OK", body[:sent], ["Content-Length: %d" % len(body)])


def stops_sending(body, sent):
    """Announces the whole body, sends part of it and then nothing."""
    head = b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body)
    return raw(head + body[:sent], then_wait=True)


def dribbles(body, sent, pause=0.3):
    """Sends part of the body, then a byte now and then: never silent for
    long, never done."""
    def handler(server, conn, line, head):
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body[:sent])
        for byte in body[sent:]:
            if server.stop.wait(pause):
                return
            conn.sendall(bytes([byte]))
    return handler


def trickles(head, pause):
    """The head at once, then a blank now and then: never silent for long, never done."""
    def handler(server, conn, line, request):
        conn.sendall(head)
        while not server.stop.wait(pause):
            conn.sendall(b" ")
    return handler


def endless(body):
    """The body without its length, then filler for as long as the client reads."""
    def handler(server, conn, line, head):
        conn.sendall(b"HTTP/1.0 200 OK\r\n\r\n" + body)
        while not server.stop.is_set():
            conn.sendall(b"x" * 65536)
    return handler


class ProductSite:
    """The pages by path; a path nobody serves answers 404."""

    def __init__(self, package, key):
        self.package = package
        self.key = key
        self.routes = {}
        self.lock = threading.Lock()
        self.server = Server(self.handle)

    def close(self):
        self.server.close()

    def url(self, path):
        return self.server.url(path)

    def handle(self, server, conn, line, head):
        path = line.split(" ")[1]
        with self.lock:
            route = self.routes.get(path, reply("404 Not Found", b"", ["Content-Length: 0"]))
        route(server, conn, line, head)

    def serve(self, path, handler):
        with self.lock:
            self.routes[path] = handler

    def requested(self):
        return [head[0].split(" ")[1] for head in self.server.requests]

    def authorizations(self):
        """The Authorization line of each request (None without one)."""
        return [next((h for h in head[1:] if h.lower().startswith("authorization:")), None)
                for head in self.server.requests]

    def signed(self, version, key=None, package_url=None, readme=None, document=None, expires=None):
        """The META lines of the release offering the package (at /Kaleidon-Setup.exe
        unless another address is given), signed with the key (the tests' own
        unless another is given); document is (address, content)."""
        with tempfile.TemporaryDirectory() as work:
            package = os.path.join(work, "package")
            with open(package, "wb") as f:
                f.write(self.package)
            args = [sys.executable, SIGN, "sign", "--key", key or self.key, "--package", package, "--url",
                    package_url or self.url("/Kaleidon-Setup.exe"), "--version", version, "--run", RUN_PARAMS]
            if readme:
                args += ["--readme", readme]
            if document:
                with open(os.path.join(work, "document"), "wb") as f:
                    f.write(document[1])
                args += ["--readme-document", document[0], "--readme-document-file", os.path.join(work, "document")]
            if expires:
                args += ["--expires", expires]
            return subprocess.run(args, check=True, capture_output=True, text=True).stdout

    def page(self, version, key=None, extra=(), **release):
        """The information page of the signed release (see signed), with
        further META lines (name, value) that the signature does not cover."""
        return page_of(self.signed(version, key, **release), extra)


def page_of(signed, extra=()):
    lines = [META.format("KDNName", "Kaleidon"), META.format("KDNDate", "Mar 3, 2026")]
    lines += [META.format(name, value) for name, value in extra]
    body = "<HTML>\r\n<HEAD>\r\n<TITLE>Kaleidon</TITLE>\r\n" + "\r\n".join(lines) + "\r\n" + signed + \
           "</HEAD>\r\n<BODY>Kaleidon</BODY>\r\n</HTML>\r\n"
    return ok(body.encode("utf-8"))


def unlabelled(signed, key):
    """The release's lines signed as releases were before the signed text
    began with its label: version, address, SHA-256 and run parameters."""
    sign = runpy.run_path(SIGN)
    fields = dict(re.findall(r'HTTP-EQUIV="(\w+)" CONTENT="([^"]*)"', signed))
    text = "\n".join(fields[n] for n in ["KDNVersion", "KDNDownload", "KDNSHA256", "KDNRun"]).encode("utf-8")
    signature = base64.b64encode(sign["raw_signature"](sign["openssl"]("dgst", "-sha256", "-sign", key, data=text)))
    return re.sub(r'(HTTP-EQUIV="KDNSignature" CONTENT=")[^"]*', lambda m: m.group(1) + signature.decode(), signed)


def other_key(directory):
    """A key pair the program does not trust."""
    path = os.path.join(directory, "other.pem")
    subprocess.run([sys.executable, SIGN, "keygen", path], check=True, capture_output=True)
    return path

