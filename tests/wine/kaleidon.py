"""What the process tests of Kaleidon.exe share: Wine, the registry, the
probe, pictures made by ImageMagick, and a test case that starts and ends
the program. The test scripts (test_*.py) are run by CTest in the win64
build with --kaleidon, --probe (kaleidon-probe.exe) and --emulator (the Wine
wrapper)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

KALEIDON = PROBE = EMULATOR = None
SETTINGS = r"HKCU\Software\Trellwick\Kaleidon"
DESKTOP = r"HKCU\Control Panel\desktop"


def wine(*args, check=True, timeout=180):
    """Runs a program under Wine; (exit code, its output). The output goes
    through a file, not a pipe: a Wine program may start the desktop process,
    which inherits the pipe and would keep it open long after."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run([EMULATOR, *args], stdout=out, stderr=err, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        text, errors = out.read().decode("utf-8", errors="replace"), err.read().decode(errors="replace")
    if check and code != 0:
        raise AssertionError("%s failed (%d): %s" % (" ".join(args), code, errors))
    return code, text


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def reg_set(name, value, kind="REG_SZ"):
    wine("reg", "add", SETTINGS + r"\Settings", "/v", name, "/t", kind, "/d", str(value), "/f")


def reg_get(key, name):
    """The value's data as reg prints it, or None."""
    code, out = wine("reg", "query", key, "/v", name, check=False)
    if code != 0:
        return None
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == name or line.strip().startswith(name + " "):
            fields = line.strip()[len(name):].split(None, 1)
            return fields[1] if len(fields) > 1 else ""
    return None


def prefix_path(windows):
    """Where a C: path of the Wine prefix lies on this system."""
    prefix = os.environ.get("KALEIDON_WINEPREFIX") or os.path.expanduser("~/.cache/kaleidon/wine-test")
    return os.path.join(prefix, "drive_c", windows[3:].replace("\\", "/"))


def bmp_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    return int.from_bytes(header[18:22], "little", signed=True), int.from_bytes(header[22:26], "little", signed=True)


class KaleidonCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kaleidon-wine-")
        wine("reg", "delete", SETTINGS, "/f", check=False)
        wine("reg", "add", DESKTOP, "/v", "Wallpaper", "/d", "none", "/f")
        self.process = None

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    def start(self):
        self.process = subprocess.Popen([EMULATOR, KALEIDON], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code, _ = wine(PROBE, "form", "60", check=False)
        if code != 0:
            _, text = wine(PROBE, "dialog", "Kaleidon", "1", check=False)
            self.fail("the main form never appeared; message: %r" % text.strip())
        return True

    def stop(self):
        """Ends the program as the menu's Exit does; its exit code."""
        wine(PROBE, "close")
        return self.process.wait(timeout=30)

    def wait_for(self, key, name, expected, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if reg_get(key, name) == expected:
                return
            time.sleep(0.5)
        self.fail("%s\\%s is %r, expected %r" % (key, name, reg_get(key, name), expected))

    def picture(self, name, *convert_args, kind=""):
        """An image made by ImageMagick; kind prefixes the output (e.g. "BMP3:")."""
        path = os.path.join(self.dir, name)
        subprocess.run(["/usr/bin/convert", *convert_args, kind + path], check=True, capture_output=True)
        return path


def main():
    """Reads the programs from the command line and runs the calling script's tests."""
    global KALEIDON, PROBE, EMULATOR
    parser = argparse.ArgumentParser()
    parser.add_argument("--kaleidon", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--emulator", required=True)
    args, rest = parser.parse_known_args()
    KALEIDON, PROBE, EMULATOR = args.kaleidon, args.probe, args.emulator
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
