#!/usr/bin/env bash
# Product information pages for the page fuzz corpus: a full release with its
# SHA-256 and signature, a redirect, odd cases and line ends.
#   bash fuzz/UpdatePageFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
meta() { printf '<META HTTP-EQUIV="%s" CONTENT="%s">\r\n' "$1" "$2"; }
{
  printf '<HTML><HEAD><TITLE>Kaleidon</TITLE>\r\n'
  meta KDNName Kaleidon
  meta Author Trellwick
  meta AuthorEmail info@trellwick.example
  meta KDNDate 'Jan 15, 1999'
  meta KDNVersion 1.0.2.0
  meta KDNDownload http://127.0.0.1/files/Kaleidon-Setup.exe
  meta KDNReadme http://127.0.0.1/readme.txt
  meta KDNReadmeExt http://127.0.0.1/ReadMe.rtf
  meta KDNRun '/S /D=C:\Program Files\Kaleidon'
  meta KDNSHA256 9913a716c14030b44ada62dacf9ffe0ca33524da75cc87e9089e94a54606d825
  meta KDNSignature lmh9j9+jPRDdu8syXjTImOrnLln74+KdkEgJ1xDV7I0M+yRbrZJZeaW4ecPwUVV39ninq8+JBOGKIpMeaCbZNg==
  printf '</HEAD><BODY>Kaleidon 1.0.2.0</BODY></HTML>\r\n'
} >"$out/release.html"
{
  meta KDNRedirect http://127.0.0.1/elsewhere.htm
  printf '<meta http-equiv="KDNVersion" content="1.2">\n'
} >"$out/redirect.html"
{
  printf '<meta http-equiv="KDNDate" CONTENT="Sept 5, 1999"><META HTTP-EQUIV="KDNName" CONTENT="x">\r'
  printf '<META HTTP-EQUIV="KDNDownload" CONTENT="http://h/a\\..\\CON.txt?x=1#y">\r'
  printf '<META HTTP-EQUIV="KDNVersion" CONTENT="1.99999999999.x">\n'
  printf '<META HTTP-EQUIV="KDNName" CONTENT="1.0.0.0.0.1">'
} >"$out/odd.html"
