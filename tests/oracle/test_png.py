"""PNG files made at test time by ImageMagick, pnmtopng and an encoder written
here in Python (zlib and the chunk layout, every filter type): every colour
type and bit depth, palettes with and without tRNS, single-colour
transparency, Adam7 interlacing, an APNG. Each is decoded by kaleidon-convert
and compared pixel for pixel with ImageMagick's (libpng's) decode of the same
file at 16 bits, its samples taken to 8 bits as browsers take them (the high
byte) and composited over the matte kaleidon-convert was given. (pngtopnm
would be the other independent decoder, but it ignores most colour keys.)"""

import random
import struct
import zlib

import oracle
from oracle import OracleCase, main, read_pam, tool

MATTE = (0x33, 0x66, 0x99)

# Adam7: (first column, first row, column step, row step) of each pass.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filtered(lines, bpp):
    """Each packed line behind a filter byte, the filter types taken in turn."""
    out = bytearray()
    previous = bytes(len(lines[0])) if lines else b""
    for n, line in enumerate(lines):
        kind = n % 5
        out.append(kind)
        for i, x in enumerate(line):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            predictor = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            out.append((x - predictor) & 0xFF)
        previous = line
    return bytes(out)


def pack(samples, depth):
    """One line's samples packed at the depth, most significant bits first."""
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, bits, count = bytearray(), 0, 0
    for s in samples:
        bits = bits << depth | s
        count += depth
        if count == 8:
            out.append(bits)
            bits, count = 0, 0
    if count:
        out.append(bits << (8 - count))
    return bytes(out)


def python_png(width, height, colour_type, depth, pixels, interlaced=False, palette=None, trns=None, extra=(),
               piece=None):
    """A PNG file of pixels[y][x] (tuples of samples); extra chunks go before
    the data (an APNG's animation control, for one); the compressed data is
    split into chunks of `piece` bytes, or kept in one."""
    channels = CHANNELS[colour_type]
    bpp = max(1, channels * depth // 8)

    def lines(xs, ys):
        return [pack([s for x in xs for s in pixels[y][x]], depth) for y in ys]

    if interlaced:
        data = b""
        for x0, y0, dx, dy in ADAM7:
            xs, ys = range(x0, width, dx), range(y0, height, dy)
            if len(xs) and len(ys):
                data += filtered(lines(xs, ys), bpp)
    else:
        data = filtered(lines(range(width), range(height)), bpp)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                                              int(interlaced)))
    if palette:
        png += chunk(b"PLTE", bytes(v for rgb in palette for v in rgb))
    if trns is not None:
        png += chunk(b"tRNS", trns)
    for kind, payload in extra:
        png += chunk(kind, payload)
    compressed = zlib.compress(data, 9)
    piece = piece or len(compressed)
    for start in range(0, len(compressed), piece):
        png += chunk(b"IDAT", compressed[start:start + piece])
    return png + chunk(b"IEND", b"")


def random_pixels(width, height, channels, depth, seed, limit=None):
    rng = random.Random(seed)
    top = (limit or (1 << depth)) - 1
    return [[tuple(rng.randint(0, top) for _ in range(channels)) for _ in range(width)] for _ in range(height)]


class PngOracle(OracleCase):
    def decode(self, source):
        out = self.path("kaleidon.ppm")
        oracle.convert(source, out, "--matte", "%02x%02x%02x" % MATTE)
        return oracle.read_ppm(out)

    def reference(self, source):
        """ImageMagick's decode composited over the matte, as (width, height, RGB)."""
        out = self.path("reference.pam")
        tool("convert", source, "-depth", "16", "-type", "TrueColorAlpha", "PAM:" + out)
        width, height, depth, maxval, samples = read_pam(out)
        self.assertEqual((depth, maxval), (4, 65535))
        rgb = bytearray()
        for i in range(0, len(samples), 4):
            a = samples[i + 3] >> 8
            for c, m in zip(samples[i:i + 3], MATTE):
                rgb.append(((c >> 8) * a + m * (255 - a) + 127) // 255)
        return width, height, bytes(rgb)

    def assertDecodesLikeLibpng(self, source, msg=None):
        self.assertSamePicture(self.decode(source), self.reference(source), msg)

    def write(self, name, data):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_python_encoder_every_colour_type_and_depth(self):
        cases = [(0, d) for d in (1, 2, 4, 8, 16)] + [(2, 8), (2, 16), (4, 8), (4, 16), (6, 8), (6, 16)]
        cases += [(3, d) for d in (1, 2, 4, 8)]
        # Every other case interlaced: both ways with and without alpha.
        for n, (colour_type, depth) in enumerate(cases):
            interlaced = n % 2 == 1
            with self.subTest(colour_type=colour_type, depth=depth, interlaced=interlaced):
                palette = None
                if colour_type == 3:
                    palette = [tuple(random.Random(i).randint(0, 255) for _ in range(3)) for i in range(1 << depth)]
                pixels = random_pixels(13, 11, CHANNELS[colour_type], depth, 100 * colour_type + depth)
                png = python_png(13, 11, colour_type, depth, pixels, interlaced, palette)
                self.assertDecodesLikeLibpng(self.write("p.png", png))

    def test_python_encoder_transparency_chunks(self):
        rng = random.Random(5)
        grey = random_pixels(9, 7, 1, 4, 1)
        grey[3][3] = (6,)
        rgb = random_pixels(9, 7, 3, 8, 2, limit=4)
        rgb[2][5] = (1, 2, 3)
        rgb16 = [[(1, 2, 3), (256, 512, 768), (0, 0, 0), (1, 2, 4)]]
        palette = [(rng.randint(0, 255), rng.randint(0, 255), rng.randint(0, 255)) for _ in range(16)]
        cases = {
            "grey-key.png": python_png(9, 7, 0, 4, grey, trns=struct.pack(">H", 6)),
            "rgb-key.png": python_png(9, 7, 2, 8, rgb, True, trns=struct.pack(">HHH", 1, 2, 3)),
            "rgb16-key.png": python_png(4, 1, 2, 16, rgb16, trns=struct.pack(">HHH", 1, 2, 3)),
            "palette-alpha.png": python_png(9, 7, 3, 4, random_pixels(9, 7, 1, 4, 3), palette=palette,
                                            trns=bytes(range(0, 200, 20))),
        }
        for name, png in cases.items():
            with self.subTest(name):
                self.assertDecodesLikeLibpng(self.write(name, png))

    def test_data_split_into_chunks_of_any_size(self):
        pixels = random_pixels(17, 9, 4, 8, 11)
        whole = self.decode(self.write("whole.png", python_png(17, 9, 6, 8, pixels, True)))
        for piece in (1, 7):
            with self.subTest(piece=piece):
                split = self.write("split.png", python_png(17, 9, 6, 8, pixels, True, piece=piece))
                self.assertSamePicture(self.decode(split), whole)

    def test_apng_shows_its_default_image(self):
        pixels = random_pixels(8, 6, 3, 8, 9)
        control = struct.pack(">II", 2, 0)
        frame = struct.pack(">IIIIIHHBB", 0, 8, 6, 0, 0, 1, 10, 0, 0)
        png = python_png(8, 6, 2, 8, pixels, extra=[(b"acTL", control), (b"fcTL", frame)])
        second = struct.pack(">IIIIIHHBB", 1, 4, 4, 2, 2, 1, 10, 0, 0)
        fdat = struct.pack(">I", 2) + zlib.compress((b"\0" + bytes(12)) * 4)
        png = png[:-12] + chunk(b"fcTL", second) + chunk(b"fdAT", fdat) + png[-12:]
        self.assertSamePicture(self.decode(self.write("anim.png", png)),
                               (8, 6, bytes(v for row in pixels for p in row for v in p)))

    def test_imagemagick_variants(self):
        photo = self.path("photo.png")
        tool("convert", "-seed", "4", "-size", "45x33", "plasma:fractal", photo)
        logo = self.path("logo.png")
        tool("convert", "-size", "45x33", "xc:none", "-fill", "#c03060a0", "-draw", "circle 22,16 22,3",
             "-fill", "#10e020", "-draw", "rectangle 0,0 9,9", logo)
        variants = {
            "png8.png": (photo, ["PNG8:"]), "png24.png": (photo, ["PNG24:"]), "png48.png": (photo, ["PNG48:"]),
            "png32.png": (logo, ["PNG32:"]), "png64.png": (logo, ["PNG64:"]),
            "png8-transparent.png": (logo, ["PNG8:"]),
            "interlaced.png": (logo, ["-interlace", "PNG", "PNG32:"]),
            "grey1.png": (photo, ["-colorspace", "Gray", "-depth", "1", "PNG:"]),
            "grey4.png": (photo, ["-colorspace", "Gray", "-depth", "4", "PNG:"]),
            "grey16.png": (photo, ["-colorspace", "Gray", "-depth", "16", "PNG:"]),
            "grey-alpha.png": (logo, ["-colorspace", "Gray", "PNG:"]),
        }
        for name, (source, options) in variants.items():
            with self.subTest(name):
                out = self.path(name)
                tool("convert", source, *options[:-1], options[-1] + out)
                self.assertDecodesLikeLibpng(out, name)

    def test_pnmtopng_variants(self):
        ppm = self.path("photo.ppm")
        tool("convert", "-seed", "6", "-size", "31x23", "plasma:fractal", "-depth", "8", ppm)
        pgm2 = self.path("grey2.pgm")
        tool("convert", ppm, "-colorspace", "Gray", "-depth", "2", pgm2)
        alpha = self.path("alpha.pgm")
        tool("convert", "-size", "31x23", "gradient:white-black", "-depth", "8", alpha)
        variants = {
            "plain.png": [ppm],
            "interlaced.png": ["-interlace", ppm],
            "key.png": ["-transparent", "=rgb:00/00/00", ppm],
            "alpha.png": ["-alpha=" + alpha, ppm],
            "grey2.png": [pgm2],
        }
        for name, args in variants.items():
            with self.subTest(name):
                out = self.write(name, tool("pnmtopng", *args))
                self.assertDecodesLikeLibpng(out, name)

    def test_extension_in_any_case(self):
        path = self.write("Photo.PnG", python_png(3, 2, 2, 8, random_pixels(3, 2, 3, 8, 1)))
        self.assertDecodesLikeLibpng(path)

    def test_damaged_files_are_rejected(self):
        whole = python_png(40, 30, 2, 8, random_pixels(40, 30, 3, 8, 2))
        data_start = whole.index(b"IDAT") + 4
        wrong_crc = bytearray(whole)
        wrong_crc[data_start + 10] ^= 0xFF
        cases = {
            "cut.png": whole[:data_start + 200],  # rows partly present
            "crc.png": bytes(wrong_crc),
            "ppm.png": b"P6\n1 1\n255\n\0\0\0",
            "empty.png": b"",
        }
        for name, data in cases.items():
            with self.subTest(name):
                self.assertRejected(self.write(name, data), "unrecognized PNG")


if __name__ == "__main__":
    main()
