"""Bilevel TIFF files with the fax codings, written at test time by ImageMagick,
tiffcp and fax2tiff (from a page that netpbm's pbmtog3 encoded), decoded by
kaleidon-convert and compared with ImageMagick's decode. Modified-Huffman
files (compression 2), which none of these tools writes, are made here from a
T.4 one-dimensional file by dropping its end-of-line codes and starting each
row on a fresh byte."""

import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import oracle  # noqa: E402
from oracle import tool  # noqa: E402


def tiff_strip(path):
    """(width, height, strip bytes) of a little-endian single-strip TIFF."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:2] == b"II"
    (ifd,) = struct.unpack_from("<I", data, 4)
    (count,) = struct.unpack_from("<H", data, ifd)
    tags = {}
    for i in range(count):
        tag, kind, n, value = struct.unpack_from("<HHII", data, ifd + 2 + 12 * i)
        tags[tag] = value if kind == 4 else value & 0xFFFF
        assert n == 1 or tag not in (273, 279)
    return tags[256], tags[257], data[tags[273]:tags[273] + tags[279]]


def write_tiff(path, width, height, strip, compression, fill_order=1, photometric=0):
    """A little-endian bilevel TIFF of one strip."""
    entries = [(256, 4, width), (257, 4, height), (258, 3, 1), (259, 3, compression), (262, 3, photometric),
               (266, 3, fill_order), (273, 4, 0), (277, 3, 1), (278, 4, height), (279, 4, len(strip))]
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

    def assertLikeImageMagick(self, source):
        self.assertSamePicture(self.decode(source), self.reference(source), os.path.basename(source))

    def test_imagemagick_group3_and_group4(self):
        self.assertLikeImageMagick(self.g4)
        fax = self.path("page-fax.tif")
        tool("convert", self.page, "-compress", "Fax", "-define", "tiff:rows-per-strip=17", fax)
        self.assertLikeImageMagick(fax)
        wide = self.path("wide.pbm")  # runs beyond 1792 need the extended make-up codes
        tool("convert", "-size", "2900x24", "xc:white", "-fill", "black", "-draw", "rectangle 0,8 2899,11",
             "-draw", "rectangle 5,14 2890,15", "-draw", "point 2600,3", "-monochrome", wide)
        for compression in ("Group4", "Fax"):
            out = self.path("wide-%s.tif" % compression)
            tool("convert", wide, "-compress", compression, out)
            self.assertLikeImageMagick(out)

    def test_tiffcp_codings_fill_orders_and_strips(self):
        for coding in ("g3:1d", "g3:2d", "g4", "g3:1d:fill", "g3:2d:fill"):
            for fill in ("msb2lsb", "lsb2msb"):
                for rows in ("203", "16"):
                    with self.subTest(coding=coding, fill=fill, rows=rows):
                        out = self.path("cp-%s-%s-%s.tif" % (coding.replace(":", "_"), fill, rows))
                        tool("tiffcp", "-c", coding, "-f", fill, "-r", rows, self.g4, out)
                        self.assertLikeImageMagick(out)

    def test_fax2tiff_from_pbmtog3(self):
        g3 = self.path("page.g3")
        with open(self.page, "rb") as source, open(g3, "wb") as out:
            out.write(tool("pbmtog3", stdin=source))
        for option in ("-1", "-2", "-4"):
            with self.subTest(option=option):
                out = self.path("fax%s.tif" % option)
                tool("fax2tiff", "-M", option, "-o", out, g3)
                self.assertLikeImageMagick(out)

    def test_modified_huffman_both_fill_orders(self):
        oned = self.path("oned.tif")
        tool("tiffcp", "-c", "g3:1d", "-f", "msb2lsb", "-r", "203", self.g4, oned)
        width, height, strip = tiff_strip(oned)
        rows = huffman_rows(strip, height)
        expected = self.reference(self.g4)
        for fill in (1, 2):
            with self.subTest(fill=fill):
                mh = self.path("mh%d.tif" % fill)
                write_tiff(mh, width, height, rows if fill == 1 else reverse_bits(rows), 2, fill)
                self.assertSamePicture(self.decode(mh), expected)

    def test_black_is_zero_fax_is_inverted(self):
        out = self.path("page-minisblack.tif")
        width, height, strip = tiff_strip(self.g4)
        write_tiff(out, width, height, strip, 4, photometric=1)
        w, h, pixels = self.reference(self.g4)
        self.assertSamePicture(self.decode(out), (w, h, bytes(255 - p for p in pixels)))


if __name__ == "__main__":
    oracle.main()
