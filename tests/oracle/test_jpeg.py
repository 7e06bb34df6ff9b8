"""JPEG files made by cjpeg and ImageMagick at test time, decoded by
kaleidon-convert and compared pixel for pixel with djpeg's decode of the same
file (both with libjpeg's defaults: accurate integer DCT, smooth upsampling,
block smoothing)."""

import os
import shutil
import subprocess

from oracle import OracleCase, main, read_ppm, tool


class JpegOracle(OracleCase):
    def setUp(self):
        super().setUp()
        self.source = self.path("source.ppm")
        # Odd sizes leave partial blocks and partial chroma blocks at the edges.
        tool("convert", "-seed", "7", "-size", "97x61", "plasma:fractal", "-depth", "8", self.source)

    def cjpeg(self, name, *options):
        out = self.path(name)
        tool("cjpeg", *options, "-outfile", out, self.source)
        return out

    def djpeg(self, source):
        """djpeg's decode; a truncated file gives its warning exit code 2."""
        out = self.path(os.path.basename(source) + ".djpeg.pnm")
        done = subprocess.run(["djpeg", "-pnm", "-outfile", out, source], capture_output=True)
        self.assertIn(done.returncode, (0, 2), done.stderr)
        return read_ppm(out)

    def assertDecodesLikeDjpeg(self, source):
        self.assertSamePicture(self.decode(source), self.djpeg(source), os.path.basename(source))

    def test_cjpeg_variants(self):
        variants = {
            "baseline.jpg": ["-quality", "85"],
            "progressive.jpg": ["-progressive"],
            "grey.jpg": ["-grayscale"],
            "grey-progressive.jpg": ["-grayscale", "-progressive"],
            "restart.jpg": ["-restart", "1"],
            "restart-blocks.jpg": ["-restart", "5B", "-progressive"],
            "optimized.jpg": ["-optimize", "-quality", "100"],
            "arithmetic.jpg": ["-arithmetic"],
            "arithmetic-progressive.jpg": ["-arithmetic", "-progressive"],
            "rgb.jpg": ["-rgb"],
            "sample-1x1.jpg": ["-sample", "1x1"],
            "sample-2x1.jpg": ["-sample", "2x1"],
            "sample-1x2.jpg": ["-sample", "1x2"],
            "sample-4x2.jpg": ["-sample", "4x2", "-progressive"],
        }
        for name, options in variants.items():
            with self.subTest(name):
                self.assertDecodesLikeDjpeg(self.cjpeg(name, *options))

    def test_imagemagick_variants(self):
        variants = {
            "im-420.jpg": ["-quality", "75", "-sampling-factor", "2x2"],
            "im-422-interlaced.jpg": ["-sampling-factor", "2x1", "-interlace", "JPEG"],
            "im-grey.jpg": ["-colorspace", "Gray"],
        }
        for name, options in variants.items():
            with self.subTest(name):
                out = self.path(name)
                tool("convert", self.source, *options, out)
                self.assertDecodesLikeDjpeg(out)

    def test_extensions_in_any_case(self):
        baseline = self.cjpeg("a.jpg")
        for name in ("A.JPG", "b.Jpeg", "c.jpe"):
            shutil.copy(baseline, self.path(name))
            self.assertDecodesLikeDjpeg(self.path(name))

    def test_truncated_files_decode_like_djpeg(self):
        for name, options in (("cut.jpg", []), ("cut-progressive.jpg", ["-progressive"])):
            with self.subTest(name):
                whole = self.cjpeg(name, *options)
                with open(whole, "rb") as f:
                    data = f.read()
                cut = self.path("half-" + name)
                with open(cut, "wb") as f:
                    f.write(data[:len(data) // 2])
                self.assertDecodesLikeDjpeg(cut)

    def test_cmyk_is_rejected(self):
        cmyk = self.path("cmyk.jpg")
        tool("convert", self.source, "-colorspace", "CMYK", cmyk)
        self.assertRejected(cmyk, "unrecognized JPEG")

    def test_not_a_jpeg_is_rejected(self):
        empty = self.path("empty.jpg")
        open(empty, "wb").close()
        self.assertRejected(empty, "unrecognized JPEG")
        shutil.copy(self.source, self.path("ppm.jpg"))
        self.assertRejected(self.path("ppm.jpg"), "unrecognized JPEG")


if __name__ == "__main__":
    main()
