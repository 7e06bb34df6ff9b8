"""Icons written by ImageMagick, drawn by kaleidon-convert through the
Windows icon renderer (under Wine in the win64 build) and compared with
ImageMagick's decode; builds without that renderer refuse them."""

import oracle
from oracle import OracleCase, tool, read_ppm


class Icons(OracleCase):
    def icon(self, name, *sizes):
        """An opaque icon holding the same picture at each size; the PPM of the 32-pixel one."""
        frames = []
        for size in sizes:
            frame = self.path("%s-%d.ppm" % (name, size))
            tool("convert", "-seed", "7", "-size", "%dx%d" % (size, size), "plasma:", "-depth", "8", frame)
            frames.append(frame)
        path = self.path(name + ".ico")
        tool("convert", *frames, "-alpha", "off", "ICO:" + path)
        return path, self.path("%s-32.ppm" % name)

    def test_drawn_at_the_standard_size(self):
        single, picture = self.icon("one", 32)
        several, _ = self.icon("three", 16, 32, 48)
        for path in (single, several):
            if oracle.EMULATOR:
                self.assertSamePicture(self.decode(path), read_ppm(picture), path)
            else:
                self.assertRejected(path, "unrecognized ICO")

    def test_not_an_icon(self):
        path = self.path("bad.ico")
        with open(path, "wb") as f:
            f.write(b"\0\0\1\0\1\0" + b"\x20" * 20)
        self.assertRejected(path, "unrecognized ICO")


if __name__ == "__main__":
    oracle.main()
