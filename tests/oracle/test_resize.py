"""The stretch placements' resampling against ImageMagick. Smooth: gradients
and photo-like pictures reduced and enlarged by kaleidon-convert come within a
mean absolute difference of 1.5 per channel of ImageMagick's
"-filter Triangle -resize"; off (--no-smooth): pixel for pixel what
ImageMagick's "-filter Point -resize" gives, nearest-pixel scaling by pixel
centres (at scales where no new centre falls halfway between two old ones,
which each program may round its own way)."""

import oracle
from oracle import OracleCase, main, read_ppm, tool

TOLERANCE = 1.5


class ResizeOracle(OracleCase):
    def pictures(self):
        sources = {
            "gradient.png": ["-size", "640x400", "gradient:#103060-#f0c020"],
            "radial.png": ["-size", "96x72", "radial-gradient:white-#204080"],
            "photo.png": ["-seed", "5", "-size", "640x400", "plasma:fractal", "-blur", "0x1"],
            "small-photo.png": ["-seed", "9", "-size", "64x48", "plasma:fractal"],
        }
        for name, args in sources.items():
            path = self.path(name)
            tool("convert", *args, "-depth", "8", "PNG24:" + path)
            yield path

    def stretched(self, source, screen, smooth):
        """kaleidon-convert's Stretch on a screen of that size: one pixel less each way."""
        out = self.path("kaleidon.ppm")
        oracle.convert(source, out, "--screen", "%dx%d" % screen, "--placement", "2",
                       "--smooth" if smooth else "--no-smooth")
        return read_ppm(out)

    def imagemagick(self, source, size, *operation):
        out = self.path("imagemagick.ppm")
        tool("convert", source, *operation, "%dx%d!" % size, "-depth", "8", out)
        return read_ppm(out)

    def test_smooth_stretch_is_within_the_tolerance_of_the_triangle_filter(self):
        for source in self.pictures():
            for screen in ((201, 151), (1025, 769), (321, 601)):
                with self.subTest(source=source, screen=screen):
                    size = (screen[0] - 1, screen[1] - 1)
                    ours = self.stretched(source, screen, True)
                    theirs = self.imagemagick(source, size, "-filter", "Triangle", "-resize")
                    self.assertEqual(ours[:2], theirs[:2])
                    error = sum(abs(a - b) for a, b in zip(ours[2], theirs[2])) / len(ours[2])
                    self.assertLessEqual(error, TOLERANCE)

    def test_without_smoothing_pixels_are_dropped_and_repeated(self):
        for source in self.pictures():
            for screen in ((214, 134), (331, 97), (1025, 769)):
                with self.subTest(source=source, screen=screen):
                    size = (screen[0] - 1, screen[1] - 1)
                    self.assertSamePicture(self.stretched(source, screen, False),
                                           self.imagemagick(source, size, "-filter", "Point", "-resize"))


if __name__ == "__main__":
    main()
