"""The HTTP client against servers that misbehave on purpose.

Each case starts its own raw-socket server on 127.0.0.1 (port chosen by the
system), runs kaleidon-fetch against it and checks the outcome: the
document (exit 0, OUTPUT holding exactly the body) or the error (exit 1,
the expected text on stderr, no OUTPUT and nothing beside it), within the
case's time limit. The cases run in parallel; each ends its server itself.

    python3 misbehaving_server.py --fetch kaleidon-fetch [--emulator WRAPPER]
"""

import argparse
import concurrent.futures
import hashlib
import os
import random
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

FETCH = None
EMULATOR = None
# A start of Wine costs seconds; the limits are those of the client plus this.
SLACK = 2.0

BODY = bytes(random.Random(7).getrandbits(8) for _ in range(100000))
LARGE = random.Random(11).randbytes(24 << 20)


class Server:
    """A listening socket whose every connection runs Handler(server, conn,
    request line, request header) on a thread of its own."""

    def __init__(self, handler):
        self.handler = handler
        self.stop = threading.Event()
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(16)
        self.listener.settimeout(0.2)
        self.port = self.listener.getsockname()[1]
        self.requests = []
        self.connections = []
        self.thread = threading.Thread(target=self.accept, daemon=True)
        self.thread.start()

    def url(self, path="/doc"):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def accept(self):
        while not self.stop.is_set():
            try:
                conn, _ = self.listener.accept()
            except (socket.timeout, OSError):
                continue
            self.connections.append(conn)
            threading.Thread(target=self.serve, args=(conn,), daemon=True).start()

    def serve(self, conn):
        conn.settimeout(10)
        data = b""
        try:
            while b"\r\n\r\n" not in data:
                chunk = conn.recv(4096)
                if not chunk:
                    return
                data += chunk
            head = data.split(b"\r\n\r\n")[0].decode("latin-1").split("\r\n")
            self.requests.append(head)
            self.handler(self, conn, head[0], head[1:])
        except OSError:
            pass
        finally:
            try:
                conn.close()
            except OSError:
                pass

    def close(self):
        self.stop.set()
        self.thread.join()
        self.listener.close()
        for conn in self.connections:
            try:
                conn.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


def reply(status, body=b"", headers=()):
    """A handler sending the status line, the headers, an empty line and
    the body, then closing."""
    def handler(server, conn, line, head):
        text = "HTTP/1.0 %s\r\n" % status + "".join(h + "\r\n" for h in headers) + "\r\n"
        conn.sendall(text.encode("latin-1") + body)
    return handler


def raw(data, then_wait=False):
    """A handler sending bytes as they are, then closing or waiting."""
    def handler(server, conn, line, head):
        conn.sendall(data)
        if then_wait:
            server.stop.wait(30)
    return handler


def by_path(routes):
    """Routes by the request line's path; unknown paths get a 400."""
    def handler(server, conn, line, head):
        path = line.split(" ")[1]
        routes.get(path, reply("400 Unexpected " + path))(server, conn, line, head)
    return handler


def located(status, location):
    return reply(status, b"moved", ["Location: " + location, "Content-Length: 5"])


def trickle(data, pause):
    """One byte, then a pause, and so on."""
    def handler(server, conn, line, head):
        for byte in data:
            if server.stop.is_set():
                return
            conn.sendall(bytes([byte]))
            time.sleep(pause)
    return handler


def endless_headers(pause):
    def handler(server, conn, line, head):
        conn.sendall(b"HTTP/1.0 200 OK\r\n")
        n = 0
        while not server.stop.is_set():
            conn.sendall(b"X-Filler-%d: %s\r\n" % (n, b"f" * 100))
            n += 1
            time.sleep(pause)
    return handler


def reset_after(data):
    """Sends the bytes, then resets the connection."""
    def handler(server, conn, line, head):
        conn.sendall(data)
        time.sleep(0.2)
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    return handler


def longer_than_announced(server, conn, line, head):
    """Ten bytes announced, more sent, and the connection kept open: the
    request must end with the tenth byte."""
    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789EXTRA-BYTES")
    server.stop.wait(30)


def proxy_only(server, conn, line, head):
    expected = "GET http://docs.invalid/dir/page?q=1 HTTP/1.0"
    if line == expected and "Host: docs.invalid" in head:
        reply("200 OK", b"through the proxy")(server, conn, line, head)
    else:
        reply("400 Bad proxy request: " + line)(server, conn, line, head)


def closed_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


# Each case: name -> (setup, expected, seconds). Setup takes the case's
# server (and may start more) and returns (arguments, handler); expected is
# bytes (the document) or a regular expression the error must match.
def cases():
    c = {}

    def simple(name, handler, expected, seconds=10, path="/doc", timeout=None):
        def setup(server):
            server.handler = handler
            args = ["--timeout", str(timeout)] if timeout else []
            return args + [server.url(path)]
        c[name] = (setup, expected, seconds)

    # The good.
    simple("content_length", reply("200 OK", BODY, ["Content-Length: %d" % len(BODY)]), BODY)
    simple("close_delimited", reply("200 OK", BODY), BODY)
    simple("empty_body", reply("200 OK", b"", ["Content-Length: 0"]), b"")
    simple("large_body", reply("200 OK", LARGE, ["Content-Length: %d" % len(LARGE)]), LARGE, seconds=60)
    simple("longer_than_content_length", longer_than_announced, b"0123456789", seconds=8)
    simple("spaces_percent_encoded", by_path({"/a%20b": reply("200 OK", b"spaced")}), b"spaced", path="/a b")
    simple("location_without_redirection_status",
           reply("200 OK", b"here", ["Location: /elsewhere", "Content-Length: 4"]), b"here")
    for status in ("301 Moved Permanently", "302 Found", "303 See Other", "307 Temporary Redirect",
                   "308 Permanent Redirect"):
        simple("redirect_" + status[:3], by_path({"/doc": located(status, "/final"),
                                                  "/final": reply("200 OK", b"final")}), b"final")
    simple("relative_location", by_path({"/a/x/y": located("302 Found", "../b/c?d=1"),
                                         "/a/b/c?d=1": reply("200 OK", b"resolved")}), b"resolved", path="/a/x/y")
    simple("relative_name_location", by_path({"/dir/page": located("302 Found", "other"),
                                              "/dir/other": reply("200 OK", b"sibling")}), b"sibling",
           path="/dir/page")
    simple("header_values_trimmed", by_path({"/doc": reply("302 Found", b"", ["Location:    /final   "]),
                                             "/final": reply("200 OK", b"trimmed")}), b"trimmed")
    chain10 = {"/r%d" % i: located("302 Found", "/r%d" % (i + 1)) for i in range(10)}
    chain10["/r10"] = reply("200 OK", b"end of chain")
    simple("chain_of_10", by_path(chain10), b"end of chain", path="/r0")

    def absolute(server):
        server.handler = by_path({"/doc": located("301 Moved", server.url("/abs")),
                                  "/abs": reply("200 OK", b"absolute")})
        return [server.url()]
    c["absolute_location"] = (absolute, b"absolute", 10)

    def other_port(server):
        other = Server(reply("200 OK", b"other port"))
        server.extra = other
        server.handler = located("302 Found", other.url("/there"))
        return [server.url()]
    c["location_to_other_port"] = (other_port, b"other port", 10)

    def proxy(server):
        server.handler = proxy_only
        return ["--proxy", "127.0.0.1:%d" % server.port, "http://docs.invalid:8080/dir/page?q=1"]
    c["proxy_request_form"] = (proxy, b"through the proxy", 10)

    # The bad.
    simple("status_not_a_number", reply("abc OK", b"body"), r"^Bad status line$")
    simple("no_status_line_html_body", raw(b"<HTML><BODY>hello</BODY></HTML>\r\n"),
           r"^No status line in the response$")
    simple("no_status_line_text", raw(b"just some text\r\nand more\r\n"),
           r"^Connection closed before the header ended$")
    simple("not_found", reply("404 Not Found", b"missing"), r"^Not Found$")
    simple("status_line_never_ends", raw(b"HTTP/1.0 200 OK", then_wait=True), r"^Connection timed out$",
           seconds=3 + SLACK, timeout=2)
    simple("header_line_of_100k", raw(b"HTTP/1.0 200 OK\r\nX-Big: " + b"b" * 100000 + b"\r\n\r\nbody"),
           r"^HTTP line too long$")
    simple("headers_never_end_fast", endless_headers(0), r"^HTTP header too long$")
    simple("headers_never_end_slowly", endless_headers(0.3), r"^Connection timed out$", seconds=3 + SLACK,
           timeout=2)
    simple("one_byte_a_second", trickle(b"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", 1.0),
           r"^Connection timed out$", seconds=4 + SLACK, timeout=3)
    simple("reset_before_body_complete",
           reset_after(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + BODY[:1000]),
           r"^(Connection reset by peer \(Error #10054\)|Connection aborted \(Error #10053\)|"
           r"Document truncated: 1000 of 100000 bytes received)$")
    simple("body_shorter_than_content_length",
           reply("200 OK", BODY[:5000], ["Content-Length: %d" % len(BODY)]),
           r"^Document truncated: 5000 of 100000 bytes received$")
    simple("large_body_truncated", reply("200 OK", LARGE[:len(LARGE) // 2], ["Content-Length: %d" % len(LARGE)]),
           r"^Document truncated: %d of %d bytes received$" % (len(LARGE) // 2, len(LARGE)), seconds=60)
    simple("two_content_lengths", reply("200 OK", b"12345", ["Content-Length: 5", "Content-Length: 6"]),
           r"^Conflicting Content-Length$")
    simple("negative_content_length", reply("200 OK", b"12345", ["Content-Length: -5"]), r"^Bad Content-Length$")
    simple("chunked", reply("200 OK", b"5\r\nhello\r\n0\r\n\r\n", ["Transfer-Encoding: chunked"]),
           r"^Transfer-Encoding not supported$")
    simple("redirect_loop", by_path({"/a": located("302 Found", "/b"), "/b": located("302 Found", "/a")}),
           r"^Too many redirections$", path="/a")
    simple("redirect_to_itself", located("301 Moved", "/doc"), r"^Too many redirections$")
    chain11 = {"/r%d" % i: located("302 Found", "/r%d" % (i + 1)) for i in range(11)}
    chain11["/r11"] = reply("200 OK", b"too far")
    simple("chain_of_11", by_path(chain11), r"^Too many redirections$", path="/r0")
    simple("location_empty", reply("302 Found", b"", ["Location: "]), r"^Too many redirections$")
    simple("location_to_https", located("302 Found", "https://127.0.0.1/secure"),
           r"^Invalid redirection: protocol other than http$")
    simple("accepts_never_answers", raw(b"", then_wait=True), r"^Connection timed out$", seconds=3 + SLACK,
           timeout=2)

    def refused(server):
        return ["http://127.0.0.1:%d/doc" % closed_port()]
    c["refused_port"] = (refused, r"^Connection refused \(Error #10061\)$", 10)

    def unresolvable(server):
        return ["--timeout", "5", "http://no-such-host.invalid/doc"]
    c["name_not_resolved"] = (unresolvable, r"^(can't resolve hostname to IP address|Connection timed out)$",
                              6 + SLACK)

    def bad_port(server):
        return ["http://127.0.0.1:70000/doc"]
    c["port_out_of_range"] = (bad_port, r"^Invalid URL: bad port number$", 10)
    return c


def native_path(path):
    return "Z:" + path.replace("/", "\\") if EMULATOR else path


def run_case(name, setup, expected, seconds, workdir):
    server = Server(None)
    server.extra = None
    output = os.path.join(workdir, name + ".out")
    try:
        args = setup(server)
        command = ([EMULATOR] if EMULATOR else []) + [FETCH] + args + [native_path(output)]
        start = time.monotonic()
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(command, stdout=out, stderr=err, timeout=seconds + 60).returncode
            err.seek(0)
            stderr = err.read().decode(errors="replace").strip()
        took = time.monotonic() - start
    finally:
        server.close()
        if server.extra:
            server.extra.close()
    problems = []
    if took > seconds + (SLACK if EMULATOR else 0):
        problems.append("took %.1f s, limit %d s" % (took, seconds))
    left = sorted(f for f in os.listdir(workdir) if f.startswith(name + "."))
    if isinstance(expected, bytes):
        if code != 0:
            problems.append("exit %d: %s" % (code, stderr))
        elif not os.path.exists(output):
            problems.append("exit 0 without OUTPUT: %s" % stderr)
        elif open(output, "rb").read() != expected:
            got = hashlib.sha256(open(output, "rb").read()).hexdigest()
            problems.append("body differs: sha256 %s, expected %s" % (got, hashlib.sha256(expected).hexdigest()))
        elif left != [name + ".out"]:
            problems.append("files left: %s" % left)
    else:
        if code != 1:
            problems.append("exit %d, expected 1" % code)
        # Sanitizer reports and Wine's own noise come before the last line.
        last = stderr.splitlines()[-1] if stderr else ""
        if not re.search(expected, last):
            problems.append("error %r does not match %r" % (stderr, expected))
        if left:
            problems.append("files left: %s" % left)
        if "Sanitizer" in stderr or "runtime error" in stderr:
            problems.append("sanitizer report: %s" % stderr)
    return name, took, problems


def main():
    global FETCH, EMULATOR
    parser = argparse.ArgumentParser()
    parser.add_argument("--fetch", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--jobs", type=int, default=8)
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    FETCH, EMULATOR = args.fetch, args.emulator or None
    table = cases()
    names = args.cases or sorted(table)
    failed = 0
    with tempfile.TemporaryDirectory() as workdir, \
            concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        futures = [pool.submit(run_case, n, *table[n], workdir) for n in names]
        for future in futures:
            name, took, problems = future.result()
            print("%-40s %5.1f s  %s" % (name, took, "ok" if not problems else "FAILED"))
            for p in problems:
                print("    " + p)
            failed += bool(problems)
    print("%d of %d cases failed" % (failed, len(names)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
