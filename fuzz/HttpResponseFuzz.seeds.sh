#!/usr/bin/env bash
# Responses of each kind the HTTP client meets, one per file, written into
# the corpus directory $1; each file's first byte gives the size of the pieces
# (\x00 one byte, \x06 seven).
set -euo pipefail
out=$1
mkdir -p "$out"
printf '\x00HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Type: text/html\r\n\r\nhello' >"$out/seed-length"
printf '\x06HTTP/1.1 200 OK\r\nServer: x\r\n\r\nbody until the end' >"$out/seed-close"
printf '\x00<HTML>\r\n<BODY>no header</BODY>\r\n' >"$out/seed-html"
printf '\x06HTTP/1.0 404 Not Found\r\n\r\n' >"$out/seed-404"
printf '\x00HTTP/1.0 302 Found\r\nLocation: ../next?x=1\r\nContent-Length: 3\r\n\r\nold' >"$out/seed-redirect"
printf '\x06HTTP/1.0 200 OK\r\nWWW-Authenticate: Basic realm="k"\r\nContent-Length: 0\r\n\r\n' >"$out/seed-empty"
printf '\x00HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n' >"$out/seed-chunked"
printf '\x06HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nshort' >"$out/seed-truncated"
