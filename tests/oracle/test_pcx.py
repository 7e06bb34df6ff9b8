"""PCX files written at test time by ImageMagick and netpbm's ppmtopcx,
decoded by kaleidon-convert and compared pixel by pixel with pcxtoppm's and
ImageMagick's decodes. Each case also checks which layout the encoder
chose, so that every conversion path is known to be covered."""

import os

from oracle import OracleCase, main, tool, read_ppm



def one_bit_as_read(picture, path):
    """The picture as a 1-bit file loads: whatever the header's two colours,
    index 1 (the set bit) is white and index 0 black."""
    with open(path, "rb") as f:
        one = f.read(22)[19:22]
    width, height, rgb = picture
    pixels = b"".join(b"\xff\xff\xff" if rgb[i:i + 3] == one else b"\0\0\0" for i in range(0, len(rgb), 3))
    return width, height, pixels


def layout(path):
    """(bits per pixel, planes, encoding) from the header."""
    with open(path, "rb") as f:
        header = f.read(128)
    return header[3], header[65], header[2]


class PcxOracle(OracleCase):
    def source(self, name, width, height, *quantise):
        """A plasma picture as PPM (or PBM), reduced as asked."""
        path = self.path(name)
        tool("convert", "-seed", "5", "-size", "%dx%d" % (width, height), "plasma:fractal", *quantise,
             "-depth", "8", path)
        return path

    def im(self, name, source, *args):
        path = self.path(name)
        tool("convert", source, *args, path)
        return path

    def netpbm(self, name, source, *args):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(tool("ppmtopcx", *args, source))
        return path

    def check(self, path, expected_layout):
        self.assertEqual(layout(path), expected_layout, os.path.basename(path))
        actual = self.decode(path)
        references = []
        # ImageMagick reads (and writes) 1-bit files with the bit sense
        # inverted against the header's two colours; pcxtoppm follows the
        # header, so it alone tells which index each pixel has.
        if expected_layout[0] != 1:
            references.append(("ImageMagick", self.reference(path)))
        references.append(("pcxtoppm", self.reference(path, "sh", "-c", 'pcxtoppm "$0" > "$1"', path)))
        for name, expected in references:
            if expected_layout[0] == 1:
                expected = one_bit_as_read(expected, path)
            self.assertSamePicture(actual, expected, "%s vs %s" % (os.path.basename(path), name))

    def test_imagemagick_layouts(self):
        for width in (37, 64):
            # ImageMagick writes one bit per pixel only for a two-colour picture
            # that it read with a colour map.
            bilevel = self.source("b%d.gif" % width, width, 21, "-threshold", "50%")
            self.check(self.im("bilevel%d.pcx" % width, bilevel), (1, 1, 1))
            colours = self.source("c%d.ppm" % width, width, 21)
            self.check(self.im("p16-%d.pcx" % width, colours, "-colors", "16", "-type", "Palette"), (8, 1, 1))
            self.check(self.im("p256-%d.pcx" % width, colours, "-colors", "256", "-type", "Palette"), (8, 1, 1))
            self.check(self.im("true%d.pcx" % width, colours, "-type", "TrueColor"), (8, 3, 1))

    def test_netpbm_layouts(self):
        for width in (37, 64):
            full = self.source("f%d.ppm" % width, width, 19)
            few = self.source("few%d.ppm" % width, width, 19, "-colors", "200")
            sixteen = self.source("s%d.ppm" % width, width, 19, "-colors", "16")
            two = self.source("two%d.ppm" % width, width, 19, "-colors", "2")
            self.check(self.netpbm("n8-%d.pcx" % width, few, "-8bit"), (8, 1, 1))
            self.check(self.netpbm("n24-%d.pcx" % width, full, "-24bit"), (8, 3, 1))
            self.check(self.netpbm("n4-%d.pcx" % width, sixteen, "-packed"), (4, 1, 1))
            self.check(self.netpbm("n1-%d.pcx" % width, two, "-planes", "1"), (1, 1, 1))
            bilevel = self.source("b%d.pbm" % width, width, 19, "-threshold", "50%")
            self.check(self.netpbm("n1b-%d.pcx" % width, bilevel), (1, 1, 1))

    def test_two_bit_loads_white(self):
        four = self.source("four.ppm", 33, 7, "-colors", "4")
        path = self.netpbm("n2.pcx", four, "-packed")
        self.assertEqual(layout(path), (2, 1, 1))
        self.assertEqual(self.decode(path), (33, 7, b"\xff" * (33 * 7 * 3)))

    def test_planes_of_one_bit_are_rejected(self):
        eight = self.source("eight.ppm", 30, 5, "-colors", "8")
        path = self.netpbm("planes3.pcx", eight, "-planes", "3")
        self.assertEqual(layout(path)[:2], (1, 3))
        self.assertRejected(path, "unrecognized PCX")

    def test_cut_file_and_wrong_manufacturer_are_rejected(self):
        colours = self.source("cut.ppm", 40, 40)
        path = self.im("cut.pcx", colours, "-type", "TrueColor")
        with open(path, "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(data[:len(data) // 2])
        self.assertRejected(path, "unrecognized PCX")
        with open(path, "wb") as f:
            f.write(b"\x0b" + data[1:])
        self.assertRejected(path, "unrecognized PCX")


if __name__ == "__main__":
    main()
