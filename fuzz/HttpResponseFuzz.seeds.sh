#!/usr/bin/env bash
# Responses of each kind the HTTP client meets, written into the corpus
# directory $1: the first byte is the piece size, replies of successive
# connections are split by FF FE FD FC.
set -euo pipefail
out=$1
mkdir -p "$out"
next=$'\xFF\xFE\xFD\xFC'
printf '\x00HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Type: text/html\r\n\r\nhello' >"$out/seed-length"
printf '\x07HTTP/1.1 200 OK\r\nServer: x\r\n\r\nbody until the end' >"$out/seed-close"
printf '\x00<HTML>\r\n<BODY>no header</BODY>\r\n' >"$out/seed-html"
printf '\x01HTTP/1.0 404 Not Found\r\n\r\n' >"$out/seed-404"
printf '\x00HTTP/1.0 302 Found\r\nLocation: ../next?x=1\r\n\r\n%sHTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok' \
  "$next" >"$out/seed-redirect"
printf '\x03HTTP/1.0 301 Moved\r\nLocation: http://other.test:8080/p\r\n\r\n%sHTTP/1.0 200 OK\r\n\r\nthere' \
  "$next" >"$out/seed-absolute"
printf '\x00HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n' >"$out/seed-chunked"
printf '\x05HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nshort' >"$out/seed-truncated"
