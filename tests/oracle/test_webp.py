"""WebP files made at test time by cwebp, img2webp and webpmux: lossy,
lossless, each with and without alpha, and animations (whose first frame is
shown, on a canvas that may be larger than it). Each is decoded by
kaleidon-convert and compared pixel for pixel with dwebp's decode of the same
file (of its first frame, for an animation, as webpmux takes it out and
places it), composited over the matte kaleidon-convert was given."""

import re

import oracle
from oracle import OracleCase, main, read_pam, tool

MATTE = (0x33, 0x66, 0x99)


def composite(width, height, rgba):
    """dwebp's RGBA over the matte."""
    out = bytearray()
    for i in range(width * height):
        a = rgba[i * 4 + 3]
        for c, m in zip(rgba[i * 4:i * 4 + 3], MATTE):
            out.append((c * a + m * (255 - a) + 127) // 255)
    return width, height, bytes(out)


class WebpOracle(OracleCase):
    def setUp(self):
        super().setUp()
        self.photo = self.path("photo.png")
        tool("convert", "-seed", "8", "-size", "67x45", "plasma:fractal", "-depth", "8", self.photo)
        self.logo = self.path("logo.png")
        tool("convert", "-size", "67x45", "xc:none", "-fill", "#c03060a0", "-draw", "circle 33,22 33,5",
             "-fill", "#10e020", "-draw", "rectangle 0,0 11,11", self.logo)

    def decode(self, source):
        out = self.path("kaleidon.ppm")
        oracle.convert(source, out, "--matte", "%02x%02x%02x" % MATTE)
        return oracle.read_ppm(out)

    def dwebp(self, source):
        out = self.path("dwebp.pam")
        tool("dwebp", source, "-pam", "-o", out)
        width, height, _, _, samples = read_pam(out)
        return width, height, samples

    def first_frame(self, animation):
        """dwebp's decode of the first frame, placed on a transparent canvas
        where webpmux says it lies."""
        info = tool("webpmux", "-info", animation).decode()
        width, height = map(int, re.search(r"Canvas size: (\d+) x (\d+)", info).groups())
        row = re.search(r"^\s*1:\s+(\d+)\s+(\d+)\s+\w+\s+(\d+)\s+(\d+)", info, re.M)
        frame_width, frame_height, x0, y0 = map(int, row.groups())
        frame = self.path("frame1.webp")
        tool("webpmux", "-get", "frame", "1", animation, "-o", frame)
        fw, fh, pixels = self.dwebp(frame)
        self.assertEqual((fw, fh), (frame_width, frame_height))
        canvas = bytearray(width * height * 4)
        for y in range(fh):
            start = ((y0 + y) * width + x0) * 4
            canvas[start:start + fw * 4] = pixels[y * fw * 4:(y + 1) * fw * 4]
        return width, height, bytes(canvas)

    def cwebp(self, name, source, *options):
        out = self.path(name)
        tool("cwebp", "-quiet", *options, source, "-o", out)
        return out

    def test_cwebp_variants(self):
        variants = {
            "lossy.webp": (self.photo, ["-q", "75"]),
            "lossy-sharp.webp": (self.photo, ["-q", "90", "-sharp_yuv", "-sns", "0"]),
            "lossy-alpha.webp": (self.logo, ["-q", "60"]),
            "lossy-alpha-lossy.webp": (self.logo, ["-q", "60", "-alpha_q", "50"]),
            "lossless.webp": (self.photo, ["-lossless"]),
            "lossless-alpha.webp": (self.logo, ["-lossless", "-exact"]),
            "near-lossless.webp": (self.photo, ["-near_lossless", "40"]),
            "metadata.webp": (self.photo, ["-metadata", "all"]),
        }
        for name, (source, options) in variants.items():
            with self.subTest(name):
                out = self.cwebp(name, source, *options)
                self.assertSamePicture(self.decode(out), composite(*self.dwebp(out)), name)

    def test_animations_show_their_first_frame(self):
        img2webp = self.path("img2webp.webp")
        tool("img2webp", "-loop", "0", "-d", "80", "-lossy", self.photo, "-lossless", self.logo, "-o", img2webp)
        small = self.cwebp("small.webp", self.logo, "-resize", "30", "20", "-lossless")
        second = self.cwebp("second.webp", self.photo, "-q", "50")
        placed = self.path("placed.webp")
        tool("webpmux", "-frame", small, "+100+10+16+0-b", "-frame", second, "+100+0+0+0+b",
             "-loop", "0", "-bgcolor", "255,255,255,255", "-o", placed)
        for animation in (img2webp, placed):
            with self.subTest(animation):
                self.assertSamePicture(self.decode(animation), composite(*self.first_frame(animation)))

    def test_damaged_files_are_rejected(self):
        whole = self.cwebp("whole.webp", self.photo, "-q", "80")
        with open(whole, "rb") as f:
            data = f.read()
        with open(self.photo, "rb") as f:
            png = f.read()
        cases = {"cut.webp": data[:len(data) // 2], "riff-only.webp": data[:12], "empty.webp": b"", "png.webp": png}
        for name, content in cases.items():
            with self.subTest(name):
                path = self.path(name)
                with open(path, "wb") as f:
                    f.write(content)
                self.assertRejected(path, "unrecognized WebP")


if __name__ == "__main__":
    main()
