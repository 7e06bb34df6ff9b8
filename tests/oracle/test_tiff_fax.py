"""Bilevel TIFF files with the fax codings, written at test time by ImageMagick,
tiffcp and fax2tiff (from a page that netpbm's pbmtog3 encoded), decoded by
kaleidon-convert and compared with libtiff's decode (tiffcp -c none).
Modified-Huffman files (compression 2), which none of these tools writes, are
made here from a T.4 one-dimensional file by dropping its end-of-line codes
and starting each row on a fresh byte. Two-dimensional pages with zero-length
runs, as some encoders write them, are made here by a small encoder."""

import os
import random
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import oracle  # noqa: E402
from oracle import tool  # noqa: E402


def tiff_tags(data):
    """{tag: value} of the first directory of a little-endian TIFF (single values)."""
    assert data[:2] == b"II"
    (ifd,) = struct.unpack_from("<I", data, 4)
    (count,) = struct.unpack_from("<H", data, ifd)
    tags = {}
    for i in range(count):
        tag, kind, n, value = struct.unpack_from("<HHII", data, ifd + 2 + 12 * i)
        tags[tag] = value if kind == 4 else value & 0xFFFF
        assert n == 1 or tag not in (273, 279)
    return tags


def libtiff_decode(test, source):
    """libtiff's decode of a bilevel file as (width, height, RGB bytes): tiffcp
    writes it uncompressed in one strip, and must say nothing while doing so."""
    plain = test.path(os.path.basename(source) + ".none.tif")
    done = subprocess.run(["tiffcp", "-c", "none", "-f", "msb2lsb", "-r", "1000000", source, plain],
                          capture_output=True, text=True)
    test.assertEqual((done.returncode, done.stderr), (0, ""), source)
    with open(plain, "rb") as f:
        data = f.read()
    tags = tiff_tags(data)
    width, height, stride = tags[256], tags[257], (tags[256] + 7) // 8
    strip = data[tags[273]:tags[273] + stride * height]
    black_bit = 0 if tags.get(262, 0) == 1 else 1
    expand = [b"".join(b"\0\0\0" if (v >> (7 - i) & 1) == black_bit else b"\xff\xff\xff" for i in range(8))
              for v in range(256)]
    pixels = bytearray()
    for y in range(height):
        pixels += b"".join(expand[v] for v in strip[y * stride:(y + 1) * stride])[:3 * width]
    return width, height, bytes(pixels)


def tiff_strip(path):
    """(width, height, strip bytes) of a little-endian single-strip TIFF."""
    with open(path, "rb") as f:
        data = f.read()
    tags = tiff_tags(data)
    return tags[256], tags[257], data[tags[273]:tags[273] + tags[279]]


def write_tiff(path, width, height, strip, compression, fill_order=1, photometric=0, t4_options=None):
    """A little-endian bilevel TIFF of one strip."""
    entries = [(256, 4, width), (257, 4, height), (258, 3, 1), (259, 3, compression), (262, 3, photometric),
               (266, 3, fill_order), (273, 4, 0), (277, 3, 1), (278, 4, height), (279, 4, len(strip))]
    if t4_options is not None:
        entries.append((292, 4, t4_options))
    ifd_size = 2 + 12 * len(entries) + 4
    offset = 8 + ifd_size
    out = bytearray(b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", len(entries)))
    for tag, kind, value in entries:
        value = offset if tag == 273 else value
        packed = struct.pack("<H", value) + b"\0\0" if kind == 3 else struct.pack("<I", value)
        out += struct.pack("<HHI", tag, kind, 1) + packed
    out += b"\0\0\0\0" + strip
    with open(path, "wb") as f:
        f.write(out)


def huffman_rows(strip, height):
    """The rows of a T.4 one-dimensional strip (fill order 1, no fill bits),
    each without its end-of-line and padded to whole bytes."""
    bits = "".join(format(b, "08b") for b in strip)
    rows = re.split("0{11}1", bits)[1:height + 1]
    out = bytearray()
    for row in rows:
        row += "0" * (-len(row) % 8)
        out += bytes(int(row[i:i + 8], 2) for i in range(0, len(row), 8))
    return bytes(out)


def reverse_bits(data):
    return bytes(int(format(b, "08b")[::-1], 2) for b in data)

# ---- a small fax encoder that writes zero-length runs ---------------------

WHITE_TERMINATING = (
    "00110101 000111 0111 1000 1011 1100 1110 1111 10011 10100 00111 01000 001000 000011 110100 110101 "
    "101010 101011 0100111 0001100 0001000 0010111 0000011 0000100 0101000 0101011 0010011 0100100 0011000 "
    "00000010 00000011 00011010 00011011 00010010 00010011 00010100 00010101 00010110 00010111 00101000 "
    "00101001 00101010 00101011 00101100 00101101 00000100 00000101 00001010 00001011 01010010 01010011 "
    "01010100 01010101 00100100 00100101 01011000 01011001 01011010 01011011 01001010 01001011 00110010 "
    "00110011 00110100").split()
WHITE_MAKEUP = (  # 64 to 1728
    "11011 10010 010111 0110111 00110110 00110111 01100100 01100101 01101000 01100111 011001100 011001101 "
    "011010010 011010011 011010100 011010101 011010110 011010111 011011000 011011001 011011010 011011011 "
    "010011000 010011001 010011010 011000 010011011").split()
BLACK_TERMINATING = (
    "0000110111 010 11 10 011 0011 0010 00011 000101 000100 0000100 0000101 0000111 00000100 00000111 "
    "000011000 0000010111 0000011000 0000001000 00001100111 00001101000 00001101100 00000110111 00000101000 "
    "00000010111 00000011000 000011001010 000011001011 000011001100 000011001101 000001101000 000001101001 "
    "000001101010 000001101011 000011010010 000011010011 000011010100 000011010101 000011010110 000011010111 "
    "000001101100 000001101101 000011011010 000011011011 000001010100 000001010101 000001010110 000001010111 "
    "000001100100 000001100101 000001010010 000001010011 000000100100 000000110111 000000111000 000000100111 "
    "000000101000 000001011000 000001011001 000000101011 000000101100 000001011010 000001100110 "
    "000001100111").split()
BLACK_MAKEUP = (
    "0000001111 000011001000 000011001001 000001011011 000000110011 000000110100 000000110101 0000001101100 "
    "0000001101101 0000001001010 0000001001011 0000001001100 0000001001101 0000001110010 0000001110011 "
    "0000001110100 0000001110101 0000001110110 0000001110111 0000001010010 0000001010011 0000001010100 "
    "0000001010101 0000001011010 0000001011011 0000001100100 0000001100101").split()
EXTENDED_MAKEUP = (  # 1792 to 2560, both colours
    "00000001000 00000001100 00000001101 000000010010 000000010011 000000010100 000000010101 000000010110 "
    "000000010111 000000011100 000000011101 000000011110 000000011111").split()
VERTICAL = {0: "1", 1: "011", 2: "000011", 3: "0000011", -1: "010", -2: "000010", -3: "0000010"}
EOL = "000000000001"


def run_code(run, white):
    """Make-up codes and the terminating code of one run."""
    out = ""
    while run >= 64:
        step = min(run // 64 * 64, 2560)
        out += EXTENDED_MAKEUP[step // 64 - 28] if step >= 1792 else (
            WHITE_MAKEUP if white else BLACK_MAKEUP)[step // 64 - 1]
        run -= step
    return out + (WHITE_TERMINATING if white else BLACK_TERMINATING)[run]


def code_1d(changes, width):
    """A one-dimensional row from its changing elements."""
    edges = [0] + changes + [width]
    return "".join(run_code(edges[i + 1] - edges[i], i % 2 == 0) for i in range(len(edges) - 1))


def code_2d(reference, changes, width):
    """A two-dimensional row: the mode choice of T.4/T.6, with b1 and b2 found
    among the reference row's changing elements as coded, repeats included."""
    coding = changes + [width, width]
    out, a0, white, k, j = "", -1, True, 0, 0
    while a0 < width:
        while j < len(reference) and reference[j] <= a0:
            j += 1
        b = j + (0 if (j % 2 == 0) == white else 1)
        b1 = min(reference[b], width) if b < len(reference) else width
        b2 = min(reference[b + 1], width) if b + 1 < len(reference) else width
        a1, a2 = coding[k], coding[k + 1]
        if b2 < a1:
            out += "0001"
            a0 = b2
        elif abs(a1 - b1) <= 3:
            out += VERTICAL[a1 - b1]
            a0, k, white = a1, k + 1, not white
        else:
            out += "001" + run_code(a1 - max(a0, 0), white) + run_code(a2 - a1, not white)
            a0, k = a2, k + 2
    return out


def to_bytes(bits):
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def zero_run_page(width, height, seed):
    """Rows of changing elements: random blocks and specks, with pairs of
    repeated elements (a zero-length run of each colour) put in at random
    places, which change no pixel; and the page's pixels as RGB bytes."""
    rng = random.Random(seed)
    blocks = [(rng.randrange(width), rng.randrange(height), rng.randrange(1, 400), rng.randrange(1, 60))
              for _ in range(40)]
    rows, pixels = [], bytearray()
    for y in range(height):
        line = [False] * width  # True: black
        for x0, y0, w, h in blocks:
            if y0 <= y < y0 + h:
                for x in range(x0, min(x0 + w, width)):
                    line[x] = not line[x]
        for _ in range(rng.randrange(4)):
            line[rng.randrange(width)] = True
        changes = [x for x in range(width) if line[x] != (line[x - 1] if x else False)]
        for _ in range(rng.randrange(4)):
            at = rng.randrange(width)
            if at == 0 and changes[:1] == [0]:
                continue  # three repeats at the row's start would mean nothing more
            i = sum(1 for c in changes if c < at)
            changes[i:i] = [at, at]
        rows.append(changes)
        pixels += b"".join(b"\0\0\0" if black else b"\xff\xff\xff" for black in line)
    return rows, bytes(pixels)


class TiffFaxOracle(oracle.OracleCase):

    def setUp(self):
        super().setUp()
        self.page = self.path("page.pbm")
        tool("convert", "-size", "301x203", "xc:white", "-fill", "black",
             "-draw", "circle 150,100 150,20", "-draw", "rectangle 10,10 60,190",
             "-draw", "rectangle 200,5 300,9", "-draw", "line 0,202 300,150",
             "+noise", "Impulse", "-monochrome", self.page)
        self.g4 = self.path("page-g4.tif")
        tool("convert", self.page, "-compress", "Group4", self.g4)

    def assertLikeLibtiff(self, source):
        self.assertSamePicture(self.decode(source), libtiff_decode(self, source), os.path.basename(source))

    def test_zero_length_runs_in_two_dimensional_rows(self):
        # The two 16 by 2 G4 strips: a pass onto b2 = 0, and a V0 onto b1 = 0.
        for strip, second in ((bytes.fromhex("26a1b9b712f4004004"), [255] * 2 + [0] * 3 + [255] * 11),
                              (bytes.fromhex("26a1b9b788008008"), [0] * 16)):
            with self.subTest(strip=strip.hex()):
                out = self.path("tiny-%s.tif" % strip.hex())
                write_tiff(out, 16, 2, strip, 4)
                first = [255] * 4 + [0] * 4 + [255] * 8
                expected = (16, 2, bytes(v for p in first + second for v in (p, p, p)))
                self.assertSamePicture(libtiff_decode(self, out), expected, "libtiff")
                self.assertSamePicture(self.decode(out), expected)

    def test_encoder_writing_zero_length_runs(self):
        width, height = 1900, 160
        rows, pixels = zero_run_page(width, height, 11)
        g4 = [code_2d(rows[y - 1] if y else [], rows[y], width) for y in range(height)]
        t4 = [EOL + ("1" + code_1d(rows[y], width) if y % 5 == 0 else "0" + code_2d(rows[y - 1], rows[y], width))
              for y in range(height)]
        for name, bits, compression, options in (("g4", "".join(g4) + EOL + EOL, 4, None),
                                                  ("t4-2d", "".join(t4) + (EOL + "1") * 6, 3, 1)):
            with self.subTest(coding=name):
                out = self.path("zero-runs-%s.tif" % name)
                write_tiff(out, width, height, to_bytes(bits), compression, t4_options=options)
                self.assertSamePicture(libtiff_decode(self, out), (width, height, pixels), "libtiff")
                self.assertSamePicture(self.decode(out), (width, height, pixels))

    def test_imagemagick_group3_and_group4(self):
        self.assertLikeLibtiff(self.g4)
        fax = self.path("page-fax.tif")
        tool("convert", self.page, "-compress", "Fax", "-define", "tiff:rows-per-strip=17", fax)
        self.assertLikeLibtiff(fax)
        wide = self.path("wide.pbm")  # runs beyond 1792 need the extended make-up codes
        tool("convert", "-size", "2900x24", "xc:white", "-fill", "black", "-draw", "rectangle 0,8 2899,11",
             "-draw", "rectangle 5,14 2890,15", "-draw", "point 2600,3", "-monochrome", wide)
        for compression in ("Group4", "Fax"):
            out = self.path("wide-%s.tif" % compression)
            tool("convert", wide, "-compress", compression, out)
            self.assertLikeLibtiff(out)

    def test_tiffcp_codings_fill_orders_and_strips(self):
        for coding in ("g3:1d", "g3:2d", "g4", "g3:1d:fill", "g3:2d:fill"):
            for fill in ("msb2lsb", "lsb2msb"):
                for rows in ("203", "16"):
                    with self.subTest(coding=coding, fill=fill, rows=rows):
                        out = self.path("cp-%s-%s-%s.tif" % (coding.replace(":", "_"), fill, rows))
                        tool("tiffcp", "-c", coding, "-f", fill, "-r", rows, self.g4, out)
                        self.assertLikeLibtiff(out)

    def test_fax2tiff_from_pbmtog3(self):
        g3 = self.path("page.g3")
        with open(self.page, "rb") as source, open(g3, "wb") as out:
            out.write(tool("pbmtog3", stdin=source))
        for option in ("-1", "-2", "-4"):
            with self.subTest(option=option):
                out = self.path("fax%s.tif" % option)
                tool("fax2tiff", "-M", option, "-o", out, g3)
                self.assertLikeLibtiff(out)

    def test_modified_huffman_both_fill_orders(self):
        oned = self.path("oned.tif")
        tool("tiffcp", "-c", "g3:1d", "-f", "msb2lsb", "-r", "203", self.g4, oned)
        width, height, strip = tiff_strip(oned)
        rows = huffman_rows(strip, height)
        expected = libtiff_decode(self, self.g4)
        for fill in (1, 2):
            with self.subTest(fill=fill):
                mh = self.path("mh%d.tif" % fill)
                write_tiff(mh, width, height, rows if fill == 1 else reverse_bits(rows), 2, fill)
                self.assertSamePicture(self.decode(mh), expected)

    def test_black_is_zero_fax_is_inverted(self):
        out = self.path("page-minisblack.tif")
        width, height, strip = tiff_strip(self.g4)
        write_tiff(out, width, height, strip, 4, photometric=1)
        w, h, pixels = libtiff_decode(self, self.g4)
        self.assertSamePicture(self.decode(out), (w, h, bytes(255 - p for p in pixels)))


if __name__ == "__main__":
    oracle.main()
