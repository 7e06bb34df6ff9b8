"""Shared helpers of the oracle tests: pictures made by independent encoders,
decoded by kaleidon-convert and compared with the encoder's own decode.

Each test_<format>.py script takes --convert (the kaleidon-convert program)
and --emulator (empty natively, the Wine wrapper in the win64 build)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

CONVERT = None
EMULATOR = None


def main():
    """Parses the two options, then runs the script's unittest cases."""
    global CONVERT, EMULATOR
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--emulator", default="")
    args, rest = parser.parse_known_args()
    CONVERT = args.convert
    EMULATOR = args.emulator or None
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def tool(*args, **kwargs):
    """Runs an independent tool (ImageMagick, libtiff, giflib, netpbm...);
    ImageMagick is called by its real path, never through a wrapper."""
    args = list(args)
    if args[0] == "convert" and os.path.exists("/usr/bin/convert"):
        args[0] = "/usr/bin/convert"
    return subprocess.run(args, check=True, capture_output=True, **kwargs).stdout


def native_path(path):
    """The path as the converter sees it: a Z: drive path under Wine."""
    if EMULATOR:
        return "Z:" + os.path.abspath(path).replace("/", "\\")
    return path


def convert(*args, check=True):
    """Runs kaleidon-convert; returns (exit code, stdout, stderr)."""
    command = ([EMULATOR] if EMULATOR else []) + [CONVERT]
    command += [native_path(a) if os.path.sep in a or os.path.exists(a) else a for a in args]
    # Output through files, not pipes: under Wine a program may start the
    # desktop process, which inherits pipes and keeps them open long after.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(command, stdout=out, stderr=err, timeout=120).returncode
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read().decode(errors="replace"), err.read().decode(errors="replace")
    if check and code != 0:
        raise AssertionError("kaleidon-convert %s failed (%d): %s" % (" ".join(args), code, stderr))
    return code, stdout, stderr


def read_pam(path):
    """(width, height, depth, maxval, samples) of a PAM file (P7); samples of
    a maxval above 255 are two bytes, big-endian, in the file."""
    with open(path, "rb") as f:
        data = f.read()
    end = data.index(b"ENDHDR\n") + len(b"ENDHDR\n")
    header = dict(line.split(b" ", 1) for line in data[:end].splitlines()[1:-1])
    width, height = int(header[b"WIDTH"]), int(header[b"HEIGHT"])
    depth, maxval = int(header[b"DEPTH"]), int(header[b"MAXVAL"])
    count = width * height * depth
    if maxval < 256:
        return width, height, depth, maxval, list(data[end:end + count])
    return width, height, depth, maxval, [data[end + 2 * i] << 8 | data[end + 2 * i + 1] for i in range(count)]


def read_ppm(path):
    """(width, height, RGB bytes) of a binary P6 file with maxval 255, or of a
    P5 file (grey, expanded to RGB)."""
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if maxval != 255:
        raise ValueError("maxval %d" % maxval)
    pixels = data[pos:]
    if magic == b"P5":
        pixels = bytes(b for g in pixels[:width * height] for b in (g, g, g))
    elif magic != b"P6":
        raise ValueError("not a binary PPM/PGM")
    return width, height, pixels[:width * height * 3]


class OracleCase(unittest.TestCase):
    """A test case with its own temporary directory."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kaleidon-oracle-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def decode(self, source):
        """kaleidon-convert's decode of a file as (width, height, RGB bytes)."""
        out = self.path(os.path.basename(source) + ".kaleidon.ppm")
        convert(source, out)
        return read_ppm(out)

    def reference(self, source, *command):
        """The independent decode: ImageMagick's by default, or the output
        file of a given command line whose last argument is the PPM it writes."""
        out = self.path(os.path.basename(source) + ".reference.ppm")
        if command:
            tool(*command, out)
        else:
            tool("convert", source + "[0]", "-depth", "8", "-type", "TrueColor", out)
        return read_ppm(out)

    def assertSamePicture(self, actual, expected, msg=None):
        aw, ah, ap = actual
        ew, eh, ep = expected
        self.assertEqual((aw, ah), (ew, eh), msg)
        if ap != ep:
            first = next(i for i in range(len(ap)) if ap[i] != ep[i])
            pixel = first // 3
            self.fail("%spixel (%d, %d) differs: %s, expected %s" % (
                (msg + ": ") if msg else "", pixel % aw, pixel // aw,
                tuple(ap[pixel * 3:pixel * 3 + 3]), tuple(ep[pixel * 3:pixel * 3 + 3])))

    def assertRejected(self, source, message):
        """The load fails with exit code 1 and the given message, never a crash."""
        code, _, err = convert(source, self.path("out.ppm"), check=False)
        self.assertEqual(code, 1, "exit code %d, stderr %r" % (code, err))
        self.assertIn(message, err)
