"""BMP files written by ImageMagick and netpbm, decoded by kaleidon-convert
and compared pixel for pixel with the encoders' own decoders; hand-patched
variants of them (top-down, wrong data offset, cut short, hostile headers);
and the wallpaper bitmap that kaleidon-convert writes."""

import struct

import oracle
from oracle import OracleCase, tool, read_ppm

# A many-coloured picture of odd width, so that rows carry padding.
WIDTH, HEIGHT = 37, 23


def netpbm_reference(source):
    """bmptopnm's decode, widened to PPM."""
    return ("sh", "-c", 'bmptopnm "$0" | ppmtoppm > "$1"', source)


def expand_nibbles(picture):
    """A decode whose channels hold 4-bit values v << 4, widened the way the
    platform's bitmap widens a 4-bit field: v << 4 | v."""
    width, height, pixels = picture
    return width, height, bytes(b | b >> 4 for b in pixels)


def black_and_white(picture):
    """A two-colour picture shown the holder's way: the darker colour black,
    the brighter one white."""
    width, height, pixels = picture
    colours = sorted({pixels[i:i + 3] for i in range(0, len(pixels), 3)},
                     key=lambda c: round((30 * c[0] + 59 * c[1] + 11 * c[2]) / 100))
    assert len(colours) == 2, colours
    shown = {colours[0]: b"\0\0\0", colours[1]: b"\xff\xff\xff"}
    return width, height, b"".join(shown[pixels[i:i + 3]] for i in range(0, len(pixels), 3))


class BmpCase(OracleCase):
    def picture(self, name="src.ppm", colours=None):
        """The test picture as an 8-bit PPM, optionally reduced to a palette."""
        path = self.path(name)
        args = ["convert", "-seed", "7", "-size", "%dx%d" % (WIDTH, HEIGHT), "plasma:"]
        if colours:
            args += ["+dither", "-colors", str(colours)]
        tool(*args, "-depth", "8", path)
        return path

    def two_colour(self, name, background, foreground):
        path = self.path(name)
        tool("convert", "-size", "%dx%d" % (WIDTH, HEIGHT), "xc:" + background, "+antialias",
             "-fill", foreground, "-draw", "circle 18,11 18,2", "-draw", "line 0,22 36,0",
             "-depth", "8", path)
        return path

    def encode(self, source, target, *options):
        path = self.path(target.split(":")[-1])
        tool("convert", source, *options, target.split(":")[0] + ":" + path if ":" in target else path)
        return path

    def table(self, path):
        """The first two colour-table entries of a 40-byte-header file."""
        with open(path, "rb") as f:
            return f.read()[54:62]

    def header(self, path):
        with open(path, "rb") as f:
            data = f.read()
        return data, struct.unpack_from("<2sIHHIIiiHHIIiiII", data)

    def patched(self, source, name, edit):
        with open(source, "rb") as f:
            data = bytearray(f.read())
        edit(data)
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(data)
        return path


class ImageMagickFiles(BmpCase):
    def test_true_colour_headers(self):
        src = self.picture()
        for target in ("BMP2:core.bmp", "BMP3:info.bmp", "BMP:v5.bmp"):
            bmp = self.encode(src, target)
            self.assertSamePicture(self.decode(bmp), self.reference(bmp), target)
        for version, header_size in (("bmp2", 12), ("bmp3", 40), ("bmp4", 124)):
            bmp = self.encode(src, version + ".bmp", "-define", "bmp:format=" + version)
            self.assertEqual(self.header(bmp)[1][5], header_size, version)
            self.assertSamePicture(self.decode(bmp), self.reference(bmp), version)

    def test_palette_depths(self):
        for colours, depth in ((2, 1), (16, 4), (200, 8)):
            src = self.picture("p%d.ppm" % colours, colours)
            for target in ("BMP3:p%d.bmp", "BMP2:p%d-core.bmp", "BMP:p%d-v5.bmp"):
                bmp = self.encode(src, target % colours, "-type", "Palette")
                if target.startswith("BMP3"):
                    self.assertEqual(self.header(bmp)[1][9], depth, target)
                expected = self.reference(bmp)
                if depth == 1:
                    expected = black_and_white(expected)
                self.assertSamePicture(self.decode(bmp), expected, target % colours)

    def test_run_length(self):
        for colours in (16, 200):
            src = self.picture("r%d.ppm" % colours, colours)
            bmp = self.encode(src, "BMP3:rle%d.bmp" % colours, "-type", "Palette", "-compress", "RLE")
            _, fields = self.header(bmp)
            self.assertEqual((fields[9], fields[10]), (8, 1))
            self.assertSamePicture(self.decode(bmp), self.reference(bmp), "RLE8 of %d colours" % colours)

    def test_bit_fields(self):
        src = self.picture()
        cases = (("RGB555", False, 16), ("RGB565", False, 16), ("ARGB1555", True, 16),
                 ("ARGB4444", True, 16), ("XRGB8888", True, 32), ("ARGB8888", True, 32))
        for subtype, alpha, depth in cases:
            options = (["-alpha", "set"] if alpha else []) + ["-define", "bmp:subtype=" + subtype]
            bmp = self.encode(src, "BMP:%s.bmp" % subtype, *options)
            _, fields = self.header(bmp)
            self.assertEqual((fields[9], fields[10]), (depth, 3), subtype)
            expected = self.reference(bmp)
            if subtype == "ARGB4444":
                expected = expand_nibbles(expected)
            self.assertSamePicture(self.decode(bmp), expected, subtype)
            # the same masks after a 40-byte header
            short = self.patched(bmp, "short-" + subtype + ".bmp", self.masks_after_info_header)
            self.assertSamePicture(self.decode(short), expected, subtype + " after a 40-byte header")

    @staticmethod
    def masks_after_info_header(data):
        offset, size = struct.unpack_from("<II", data, 10)
        masks = data[54:66]
        pixels = data[offset:]
        data[14:] = struct.pack("<I", 40) + data[18:54] + masks + pixels
        struct.pack_into("<II", data, 2, len(data), 0)
        struct.pack_into("<I", data, 10, 66)

    def test_top_down_and_wrong_offset(self):
        bmp = self.encode(self.picture(), "BMP3:up.bmp")
        stride = (WIDTH * 3 + 3) // 4 * 4

        def flip(data):
            rows = [data[54 + i * stride:54 + (i + 1) * stride] for i in range(HEIGHT)]
            data[54:] = b"".join(reversed(rows))
            struct.pack_into("<i", data, 22, -HEIGHT)

        down = self.patched(bmp, "down.bmp", flip)
        offset = self.patched(bmp, "offset.bmp", lambda d: struct.pack_into("<I", d, 10, 9999))
        expected = self.reference(bmp)
        self.assertSamePicture(self.decode(down), expected, "top-down")
        self.assertSamePicture(self.decode(offset), expected, "data offset ignored")

    def test_cut_short_pixel_area_loads_white(self):
        bmp = self.encode(self.picture(), "BMP3:whole.bmp")
        stride = (WIDTH * 3 + 3) // 4 * 4
        kept = 5  # bottom rows
        cut = self.patched(bmp, "cut.bmp", lambda d: d.__delitem__(slice(54 + kept * stride, None)))
        width, height, pixels = self.reference(bmp)
        missing = (HEIGHT - kept) * WIDTH * 3
        expected = (width, height, b"\xff" * missing + pixels[missing:])
        self.assertSamePicture(self.decode(cut), expected)


class NetpbmFiles(BmpCase):
    def test_depths_windows_and_os2(self):
        for colours, bpp in ((None, 24), (200, 8), (16, 4), (2, 1)):
            src = self.picture("n%s.ppm" % colours, colours)
            for kind in ("-windows", "-os2"):
                bmp = self.path("n%d%s.bmp" % (bpp, kind))
                with open(bmp, "wb") as f:
                    f.write(tool("ppmtobmp", kind, "-bpp", str(bpp), src))
                expected = self.reference(bmp, *netpbm_reference(bmp))
                if bpp == 1:
                    expected = black_and_white(expected)
                self.assertSamePicture(self.decode(bmp), expected, "%d bpp %s" % (bpp, kind))


class OneBitTables(BmpCase):
    """A 1-bit file is shown black and white, the darker table colour black,
    whichever order the encoder wrote the table in."""

    def test_white_then_black_is_not_its_negative(self):
        src = self.two_colour("wb.ppm", "white", "black")
        palette = self.path("map.ppm")
        tool("convert", "-size", "1x1", "xc:white", "xc:black", "+append", "-depth", "8", palette)
        bmp = self.path("wb.bmp")
        with open(bmp, "wb") as f:
            f.write(tool("ppmtobmp", "-bpp", "1", "-mapfile=" + palette, src))
        self.assertEqual(self.table(bmp), b"\xff\xff\xff\0\0\0\0\0")
        expected = read_ppm(src)
        self.assertSamePicture(self.reference(bmp, *netpbm_reference(bmp)), expected)
        self.assertSamePicture(self.decode(bmp), expected)

    def test_black_then_white_as_written(self):
        src = self.two_colour("bw.ppm", "white", "black")
        bmp = self.encode(src, "BMP3:bw.bmp", "-type", "Palette")
        self.assertEqual(self.table(bmp), b"\0\0\0\0\xff\xff\xff\0")
        self.assertSamePicture(self.decode(bmp), read_ppm(src))

    def test_blue_and_yellow_shown_black_and_white(self):
        src = self.two_colour("yb.ppm", "yellow", "blue")
        expected = black_and_white(read_ppm(src))
        yellow_first = self.encode(src, "BMP3:yb.bmp", "-type", "Palette")
        blue_first = self.path("by.bmp")
        with open(blue_first, "wb") as f:
            f.write(tool("ppmtobmp", "-bpp", "1", src))
        for bmp, table in ((yellow_first, b"\0\xff\xff\0\xff\0\0\0"), (blue_first, b"\xff\0\0\0\0\xff\xff\0")):
            self.assertEqual(self.table(bmp), table)
            self.assertSamePicture(self.decode(bmp), expected, bmp)


class Rejected(BmpCase):
    def test_messages(self):
        bmp = self.encode(self.picture(), "BMP3:good.bmp")
        cases = (
            ("signature.bmp", lambda d: d.__setitem__(0, ord("X")), "unrecognized BMP"),
            ("planes.bmp", lambda d: struct.pack_into("<H", d, 26, 2), "unrecognized BMP"),
            ("depth.bmp", lambda d: struct.pack_into("<H", d, 28, 7), "unrecognized BMP"),
            ("compression.bmp", lambda d: struct.pack_into("<I", d, 30, 9), "unrecognized BMP"),
            ("width.bmp", lambda d: struct.pack_into("<i", d, 18, 0x7FFFFFFF), "unrecognized BMP"),
            ("height.bmp", lambda d: struct.pack_into("<i", d, 22, -0x80000000), "unrecognized BMP"),
            ("header.bmp", lambda d: d.__delitem__(slice(40, None)), "Stream read error"),
            ("table.bmp", lambda d: struct.pack_into("<I", d, 46, 0x40000000), "Stream read error"),
            ("headersize.bmp", lambda d: struct.pack_into("<I", d, 14, 0xFFFFFFF0), "Stream read error"),
        )
        for name, edit, message in cases:
            self.assertRejected(self.patched(bmp, name, edit), message)


class WallpaperBitmap(BmpCase):
    """kaleidon-convert X out.bmp writes what SaveToFileBMP writes."""

    def saved(self, source):
        if source.endswith(".ppm"):
            source = self.encode(source, "BMP3:in.bmp", "-type", "TrueColor")
        out = self.path("out.bmp")
        oracle.convert(source, out)
        return out

    def test_many_colours_give_24_bits_at_54(self):
        src = self.picture()
        out = self.saved(src)
        data, f = self.header(out)
        stride = (WIDTH * 3 + 3) // 4 * 4
        self.assertEqual(f[:10], (b"BM", len(data), 0, 0, 54, 40, WIDTH, HEIGHT, 1, 24))
        self.assertEqual(f[10:], (0, stride * HEIGHT, 0, 0, 0, 0))
        self.assertEqual(len(data), 54 + stride * HEIGHT)
        self.assertSamePicture(self.reference(out), read_ppm(src))

    def test_two_colours_give_black_and_white_1_bit_at_62(self):
        src = self.two_colour("rb.ppm", "red", "blue")
        out = self.saved(src)
        data, f = self.header(out)
        stride = (WIDTH + 31) // 32 * 4
        self.assertEqual(f[:10], (b"BM", len(data), 0, 0, 62, 40, WIDTH, HEIGHT, 1, 1))
        self.assertEqual(f[10:], (0, stride * HEIGHT, 0, 0, 2, 0))
        self.assertEqual(data[54:62], b"\0\0\0\0\xff\xff\xff\0")
        self.assertSamePicture(self.reference(out), black_and_white(read_ppm(src)))  # blue black, red white

    def test_one_colour_gives_24_bits(self):
        src = self.path("one.ppm")
        tool("convert", "-size", "3x2", "xc:#336699", "-depth", "8", src)
        data, f = self.header(self.saved(src))
        self.assertEqual((len(data), f[4], f[9]), (78, 54, 24))

    def test_run_length_source_keeps_its_table(self):
        src = self.picture("r.ppm", 16)
        bmp = self.encode(src, "BMP3:rle.bmp", "-type", "Palette", "-compress", "RLE")
        source_data, source_fields = self.header(bmp)
        entries = source_fields[14] or 256
        out = self.saved(bmp)
        data, f = self.header(out)
        self.assertEqual((f[4], f[9], f[10], f[14]), (54 + 4 * entries, 24, 0, entries))
        self.assertEqual(data[54:54 + 4 * entries], source_data[54:54 + 4 * entries])
        self.assertSamePicture(self.reference(out), self.reference(bmp))


if __name__ == "__main__":
    oracle.main()
