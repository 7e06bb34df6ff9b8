"""GIF files written at test time by ImageMagick and by giflib (gifbuild,
giftool), decoded by kaleidon-convert and compared pixel by pixel with
ImageMagick's decode of the first image. A transparent index shows its
colour table entry, so the reference is taken with the alpha channel off."""

import os

import oracle
from oracle import OracleCase, main, tool


FIRST_IMAGE = ["-alpha", "off", "+repage", "-depth", "8", "-type", "TrueColor"]

MAP4 = """\
\trgb 255 000 000 is 0
\trgb 000 255 000 is 1
\trgb 000 000 255 is 2
\trgb 010 020 030 is 3
"""
RGB4 = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30)]


def control(transparent):
    return "graphics control\n\tdisposal mode 0\n\tuser input flag off\n\tdelay 10\n" \
           "\ttransparent index %d\nend\n\n" % transparent


def image(number, left, top, rows, local_map=False):
    text = "image # %d\nimage left %d\nimage top %d\n" % (number, left, top)
    if local_map:
        text += "image map\n" + MAP4 + "end\n"
    return text + "image bits %d by %d\n%s\n\n" % (len(rows[0]), len(rows), "\n".join(rows))


def screen(width, height, global_map=True):
    text = "screen width %d\nscreen height %d\nscreen colors 4\nscreen background 1\n" \
           "pixel aspect byte 0\n\n" % (width, height)
    if global_map:
        text += "screen map\n" + MAP4 + "end\n\n"
    return text


class GifOracle(OracleCase):
    def im(self, name, *args):
        """A GIF written by ImageMagick from a plasma picture."""
        path = self.path(name)
        tool("convert", "-seed", "11", *args, path)
        return path

    def build(self, name, text):
        """A GIF written by giflib's gifbuild from its text description."""
        source = self.path(name + ".txt")
        with open(source, "w") as f:
            f.write(text)
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(tool("gifbuild", source))
        return path

    def check(self, path):
        self.assertSamePicture(self.decode(path), self.reference(path, "convert", path + "[0]", *FIRST_IMAGE),
                               os.path.basename(path))

    def test_colour_counts(self):
        for colours in (2, 16, 256):
            self.check(self.im("c%d.gif" % colours, "-size", "67x41", "plasma:fractal", "-colors", str(colours)))

    def test_interlaced_every_small_height(self):
        for height in list(range(1, 10)) + [37]:
            self.check(self.im("i%d.gif" % height, "-size", "13x%d" % height, "plasma:fractal",
                               "-colors", "64", "-interlace", "GIF"))

    def test_large_image_fills_the_code_table(self):
        self.check(self.im("large.gif", "-size", "500x400", "plasma:fractal", "-colors", "256"))

    def test_animation_gives_the_first_frame(self):
        self.check(self.im("anim.gif", "-delay", "10", "-size", "30x20", "plasma:fractal",
                           "-size", "12x9", "xc:blue", "-colors", "32"))

    def test_giflib_encoder(self):
        source = self.im("src.gif", "-size", "300x200", "plasma:fractal", "-colors", "256")
        copy = self.path("giflib.gif")
        with open(source, "rb") as f, open(copy, "wb") as out:
            out.write(tool("giftool", stdin=f))
        self.check(copy)
        interlaced = self.path("giflib-interlaced.gif")
        with open(source, "rb") as f, open(interlaced, "wb") as out:
            out.write(tool("giftool", "-i", "on", stdin=f))
        self.check(interlaced)

    def test_first_frame_at_its_own_size_with_its_transparent_entry(self):
        text = screen(10, 8) + control(2) + image(1, 2, 3, ["0123", "3210"]) + control(-1) + \
            image(2, 0, 0, ["0123012301"] * 8)
        path = self.build("frames.gif", text)
        self.check(path)
        width, height, pixels = self.decode(path)
        self.assertEqual((width, height), (4, 2))
        expected = b"".join(bytes(RGB4[int(c)]) for c in "01233210")
        self.assertEqual(pixels, expected)

    def test_local_table_without_global_table(self):
        self.check(self.build("local.gif", screen(6, 3, global_map=False) +
                              image(1, 0, 0, ["012301", "123012", "233211"], local_map=True)))

    def test_not_a_gif_is_rejected(self):
        path = self.path("fake.gif")
        with open(path, "wb") as f:
            f.write(b"GIX89a" + bytes(40))
        self.assertRejected(path, "unrecognized GIF")

    def test_file_cut_inside_a_data_block_is_rejected(self):
        source = self.im("cut.gif", "-size", "60x60", "plasma:fractal", "-colors", "256")
        with open(source, "rb") as f:
            data = f.read()
        with open(source, "wb") as f:
            f.write(data[:len(data) - 40])
        self.assertRejected(source, "unrecognized GIF")


if __name__ == "__main__":
    main()
