"""Downloads a 512 MB body from a local server with kaleidon-fetch and with
curl, best of three runs each, and prints the times, their ratio and the
peak memory of each program (maximum resident set size). The body is
random; each download is checked against its SHA-256."""

import argparse
import hashlib
import os
import socket
import subprocess
import tempfile
import threading
import time

SIZE = 512 << 20


def serve(listener, path):
    """Answers every connection with the file, through sendfile."""
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        with conn, open(path, "rb") as f:
            data = b""
            while b"\r\n\r\n" not in data:
                chunk = conn.recv(4096)
                if not chunk:
                    break
                data += chunk
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % SIZE)
            try:
                conn.sendfile(f)
            except OSError:
                pass


def timed(command):
    """Wall time and peak memory (KiB) of one run of the command."""
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        child = subprocess.Popen(command, stdout=out, stderr=out)
        _, status, usage = os.wait4(child.pid, 0)
        took = time.monotonic() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            out.seek(0)
            raise SystemExit("%s failed: %s" % (command[0], out.read().decode(errors="replace")))
    return took, usage.ru_maxrss


def measure(command, output, digest):
    """Best time of three runs, and the largest peak memory."""
    best, peak = None, 0
    for _ in range(3):
        took, rss = timed(command)
        if sha256(output) != digest:
            raise SystemExit("%s: the downloaded body differs" % command[0])
        os.remove(output)
        best = took if best is None else min(best, took)
        peak = max(peak, rss)
    return best, peak


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        while chunk := f.read(1 << 20):
            h.update(chunk)
    return h.hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fetch", required=True)
    parser.add_argument("--curl", default="curl")
    parser.add_argument("--fetch-exe")
    parser.add_argument("--emulator")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "body.bin")
        with open(source, "wb") as f:
            for _ in range(SIZE >> 20):
                f.write(os.urandom(1 << 20))
        digest = sha256(source)
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(4)
        threading.Thread(target=serve, args=(listener, source), daemon=True).start()
        url = "http://127.0.0.1:%d/body.bin" % listener.getsockname()[1]
        output = os.path.join(tmp, "out.bin")
        curl = measure([args.curl, "-s", "-f", "-o", output, url], output, digest)
        runs = [("native", measure([args.fetch, url, output], output, digest))]
        if args.fetch_exe:
            wine_output = "Z:" + output.replace("/", "\\")
            runs.append(("Wine", measure([args.emulator, args.fetch_exe, url, wine_output], output, digest)))
        for label, (took, rss) in runs:
            print("fetch 512 MB %-6s kaleidon-fetch %6.2f s (%5.0f MB/s, peak %4d MB)  curl %6.2f s (peak %3d MB)"
                  "  ratio %.2f" % (label, took, SIZE / took / 1e6, rss // 1024, curl[0], curl[1] // 1024,
                                    curl[0] / took))
        listener.close()


if __name__ == "__main__":
    main()
