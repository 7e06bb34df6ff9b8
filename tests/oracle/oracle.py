"""Shared helpers of the oracle tests: pictures made by independent encoders,
decoded by kaleidon-convert and compared with the encoder's own decode.

Each test_<format>.py script takes --convert (the kaleidon-convert program),
--emulator (empty natively, the Wine wrapper in the win64 build) and
--samples (a folder where the tools' outputs are kept for the next run)."""

import argparse
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import batch  # noqa: E402

CONVERT = None
EMULATOR = None
SAMPLES = None
CONVERTER = None


def main():
    """Parses the options, runs the script's unittest cases, then checks that
    the converter ended cleanly (natively its leak check runs at the end)."""
    global CONVERT, EMULATOR, SAMPLES, CONVERTER
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--samples", default="")
    args, rest = parser.parse_known_args()
    CONVERT = args.convert
    EMULATOR = args.emulator or None
    SAMPLES = args.samples or None
    CONVERTER = batch.Batch(([EMULATOR] if EMULATOR else []) + [CONVERT, "--batch"])
    result = unittest.main(argv=[sys.argv[0]] + rest, verbosity=2, exit=False).result
    code, errors = CONVERTER.close()
    if code != 0:
        print("kaleidon-convert ended with %d:\n%s" % (code, errors), file=sys.stderr)
    sys.exit(0 if result.wasSuccessful() and code == 0 else 1)


def tool(*args, stdin=None, **kwargs):
    """Runs an independent tool (ImageMagick, libtiff, giflib, netpbm...);
    ImageMagick is called by its real path, never through a wrapper. Its
    output is remembered under SAMPLES (see remembered)."""
    args = list(args)
    if args[0] == "convert" and os.path.exists("/usr/bin/convert"):
        args[0] = "/usr/bin/convert"
    if stdin is not None:
        kwargs["input"] = stdin.read()
    if not SAMPLES:
        return subprocess.run(args, check=True, capture_output=True, **kwargs).stdout
    return remembered(args, kwargs)


# The tests' own folders, as tool arguments name them.
TEST_FOLDER = re.compile(re.escape(tempfile.gettempdir()) + r"/kaleidon-oracle-[^/\s:\]\[]+")


def folder_files(folder):
    """{name: SHA-256} of the files in a test's folder."""
    files = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                files[name] = hashlib.sha256(f.read()).hexdigest()
    return files


def remembered(args, kwargs):
    """The tool's output, from SAMPLES when the same command line (the test's
    folders named alike) ran before on the same files: the native and the
    Wine run of a script make the same pictures, and making them is most of
    a script's time. The key covers everything the tool can read: its
    arguments, its input, every file in the folders it is given, and the
    program itself. What it wrote into those folders is kept with its
    standard output."""
    folders = sorted(set(TEST_FOLDER.findall(" ".join(args))))
    placeholders = {folder: "@%d" % i for i, folder in enumerate(folders)}
    named = [TEST_FOLDER.sub(lambda m: placeholders[m.group(0)], a) for a in args]
    program = shutil.which(args[0]) or args[0]
    info = os.stat(program)
    before = {folder: folder_files(folder) for folder in folders}
    key = hashlib.sha256(json.dumps([named, hashlib.sha256(kwargs.get("input") or b"").hexdigest(),
                                     [before[f] for f in folders], program, info.st_size, info.st_mtime_ns,
                                     sorted(k for k in kwargs if k != "input")]).encode()).hexdigest()
    entry = os.path.join(SAMPLES, key)
    if os.path.isdir(entry):
        for i, folder in enumerate(folders):
            saved = os.path.join(entry, str(i))
            for name in os.listdir(saved) if os.path.isdir(saved) else []:
                shutil.copyfile(os.path.join(saved, name), os.path.join(folder, name))
        with open(os.path.join(entry, "stdout"), "rb") as f:
            return f.read()
    out = subprocess.run(args, check=True, capture_output=True, **kwargs).stdout
    os.makedirs(SAMPLES, exist_ok=True)
    staging = tempfile.mkdtemp(dir=SAMPLES, prefix="new-")
    for i, folder in enumerate(folders):
        for name, digest in folder_files(folder).items():
            if before[folder].get(name) != digest:
                os.makedirs(os.path.join(staging, str(i)), exist_ok=True)
                shutil.copyfile(os.path.join(folder, name), os.path.join(staging, str(i), name))
    with open(os.path.join(staging, "stdout"), "wb") as f:
        f.write(out)
    try:
        os.rename(staging, entry)
    except OSError:  # another script kept the same output first
        shutil.rmtree(staging, ignore_errors=True)
    return out


def native_path(path):
    """The path as the converter sees it: a Z: drive path under Wine."""
    if EMULATOR:
        return "Z:" + os.path.abspath(path).replace("/", "\\")
    return path


def convert(*args, check=True):
    """Has kaleidon-convert (kept running in batch mode) carry out one
    command line; returns (exit code, stdout, stderr)."""
    args = [native_path(a) if os.path.sep in a or os.path.exists(a) else a for a in args]
    code, stdout, stderr = CONVERTER.run(args)
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
