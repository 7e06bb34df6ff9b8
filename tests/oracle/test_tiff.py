"""TIFF files written at test time by ImageMagick and libtiff's tiffcp, decoded
by kaleidon-convert and compared pixel by pixel with ImageMagick's decode, or
with the result our reader defines where it differs from ImageMagick's (16-bit
and 4-bit grey levels, tiled files)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import oracle  # noqa: E402
from oracle import tool  # noqa: E402


class TiffOracle(oracle.OracleCase):

    def setUp(self):
        super().setUp()
        self.rgb = self.path("src.ppm")
        tool("convert", "-size", "97x61", "plasma:fractal", "-seed", "7", "-alpha", "off", "-depth", "8", self.rgb)

    def make(self, name, *options, source=None):
        out = self.path(name)
        tool("convert", source or self.rgb, "-alpha", "off", *options, out)
        return out

    def tiffcp(self, name, source, *options):
        out = self.path(name)
        tool("tiffcp", *options, source, out)
        return out

    def assertLikeImageMagick(self, source):
        self.assertSamePicture(self.decode(source), self.reference(source), os.path.basename(source))

    def test_rgb_compressions_and_byte_orders(self):
        for compression in ("None", "LZW", "RLE"):
            for endian in ("msb", "lsb"):
                with self.subTest(compression=compression, endian=endian):
                    self.assertLikeImageMagick(self.make(
                        "rgb-%s-%s.tif" % (compression, endian), "-compress", compression,
                        "-define", "tiff:endian=" + endian, "-define", "tiff:rows-per-strip=7"))

    def test_tiffcp_compressions_and_strips(self):
        base = self.make("base.tif", "-compress", "None")
        for index, options in enumerate((["-c", "lzw:2", "-r", "3"], ["-c", "packbits", "-r", "1"],
                                         ["-c", "lzw", "-r", "64"], ["-c", "none", "-r", "10"])):
            with self.subTest(options=options):
                self.assertLikeImageMagick(self.tiffcp("cp%d.tif" % index, base, *options))

    def test_planar_with_several_strips_per_plane(self):
        self.assertLikeImageMagick(self.make("plane.tif", "-interlace", "Plane", "-compress", "LZW",
                                             "-define", "tiff:rows-per-strip=5"))
        base = self.make("base.tif", "-compress", "None")
        for index, options in enumerate((["-c", "packbits", "-r", "9"], ["-c", "lzw:2", "-r", "61"])):
            with self.subTest(options=options):
                self.assertLikeImageMagick(self.tiffcp("sep%d.tif" % index, base, "-p", "separate", *options))

    def test_grey_and_predictor(self):
        for endian in ("msb", "lsb"):
            self.assertLikeImageMagick(self.make("grey-%s.tif" % endian, "-colorspace", "gray", "-depth", "8",
                                                 "-define", "tiff:endian=" + endian))
        self.assertLikeImageMagick(self.make("grey-pred.tif", "-colorspace", "gray", "-compress", "LZW",
                                             "-define", "tiff:predictor=2"))
        self.assertLikeImageMagick(self.make("rgb-pred.tif", "-compress", "LZW", "-define", "tiff:predictor=2",
                                             "-define", "tiff:rows-per-strip=16"))

    def test_grey_16_bit_shows_the_high_bytes(self):
        for endian in ("msb", "lsb"):
            with self.subTest(endian=endian):
                source = self.make("g16-%s.tif" % endian, "-colorspace", "gray", "-depth", "16",
                                   "-define", "tiff:endian=" + endian)
                pgm = self.path("g16.pgm")
                tool("convert", source, "-depth", "16", pgm)
                width, height, samples = read_pgm16(pgm)
                expected = bytes(b for i in range(width * height) for b in (samples[2 * i],) * 3)
                self.assertSamePicture(self.decode(source), (width, height, expected))

    def test_grey_4_bit_scales_by_16(self):
        source = self.make("g4.tif", "-colorspace", "gray", "-depth", "4")
        width, height, pixels = self.reference(source)
        expected = bytes(v // 17 * 16 for v in pixels)
        self.assertSamePicture(self.decode(source), (width, height, expected))

    def test_palette_8_and_4_bit(self):
        # Posterized colours are exact 8-bit values, so the colour map's high
        # bytes are what ImageMagick shows.
        self.assertLikeImageMagick(self.make("pal8.tif", "-posterize", "6", "-type", "Palette", "-compress", "LZW"))
        self.assertLikeImageMagick(self.make("pal4.tif", "-posterize", "2", "-type", "Palette", "-depth", "4",
                                             "-define", "tiff:endian=msb"))

    def test_bilevel_both_polarities(self):
        bits = self.make("bw.pbm", "-monochrome")
        for compression in ("None", "LZW", "RLE"):
            for polarity in ("min-is-black", "min-is-white"):
                with self.subTest(compression=compression, polarity=polarity):
                    self.assertLikeImageMagick(self.make(
                        "bw-%s-%s.tif" % (compression, polarity), "-compress", compression,
                        "-define", "quantum:polarity=" + polarity, source=bits))

    def test_multi_page_shows_the_first(self):
        first = self.make("a.tif", "-compress", "LZW")
        second = self.make("b.tif", "-negate", "-compress", "None")
        joined = self.path("ab.tif")
        tool("tiffcp", first, second, first, joined)
        self.assertSamePicture(self.decode(joined), self.reference(first))

    def test_tiled_file_is_a_white_page(self):
        source = self.make("tiled.tif", "-define", "tiff:tile-geometry=32x32")
        width, height, pixels = self.decode(source)
        self.assertEqual((width, height), (97, 61))
        self.assertEqual(pixels, b"\xff" * (97 * 61 * 3))

    def test_rejections(self):
        self.assertRejected(self.make("cmyk.tif", "-colorspace", "CMYK"), "Scan line index out of range")
        not_tiff = self.path("not.tif")
        with open(not_tiff, "wb") as f:
            f.write(b"XX*\x00\x08\x00\x00\x00" + bytes(64))
        self.assertRejected(not_tiff, "unrecognized TIFF")
        cut = self.path("cut.tif")
        with open(self.make("whole.tif", "-compress", "None"), "rb") as f:
            data = f.read()
        with open(cut, "wb") as f:
            f.write(data[:6])
        self.assertRejected(cut, "unrecognized TIFF")


def read_pgm16(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    assert fields[0] == b"P5" and int(fields[3]) == 65535
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + 2 * width * height]


if __name__ == "__main__":
    oracle.main()
