"""What the process tests of Kaleidon.exe share: Wine, the registry, the
probe, pictures made by ImageMagick, and a test case that starts and ends
the program, and one that uses it through its tray icon and dialogs. The
test scripts (test_*.py) are run by CTest in the win64 build with
--kaleidon, --probe (kaleidon-probe.exe), --emulator (the Wine wrapper), and
for the update tests --signed (Kaleidon.exe trusting the tests' key),
--update-key (its private key) and --package (kaleidon-record-args.exe)."""

import argparse
import getpass
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import batch  # noqa: E402

KALEIDON = PROBE = EMULATOR = None
# The probe kept running for a test (see probe()).
PROBE_SERVER = None
# For the update tests: Kaleidon.exe trusting the tests' key, that key's
# private half, and the program served as the update package.
SIGNED = UPDATE_KEY = PACKAGE = None
SETTINGS = r"HKCU\Software\Trellwick\Kaleidon"
SETTINGS_KEY = SETTINGS + r"\Settings"
DESKTOP = r"HKCU\Control Panel\desktop"
# The identifiers of the program's dialogs and controls.
RESOURCE_H = os.path.join(os.path.dirname(__file__), "..", "..", "res", "resource.h")
IDS = {name: int(value) for name, value in re.findall(r"#define (\w+) (\d+)", open(RESOURCE_H).read())}
IDOK, IDCANCEL = 1, 2


def wine_outputs(*args, timeout=180):
    """Runs a program under Wine; (exit code, its output, its error output).
    The outputs go through files, not pipes: a Wine program may start the
    desktop process, which inherits a pipe and would keep it open long after."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run([EMULATOR, *args], stdout=out, stderr=err, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read().decode("utf-8", errors="replace"), err.read().decode("utf-8", errors="replace")


def command(*args):
    """Kaleidon.exe started with a command line while (or before) the program
    runs; (exit code, its output, its error output), line ends made Python's."""
    code, out, err = wine_outputs(KALEIDON, *args)
    return code, out.replace("\r\n", "\n"), err.replace("\r\n", "\n")


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def probe_outputs(*args):
    """(exit code, output) of a kaleidon-probe command, carried out by the
    probe that runs for the test's length: a test asks hundreds of questions,
    each of which would otherwise cost a start of Wine."""
    global PROBE_SERVER
    if PROBE_SERVER is None:
        PROBE_SERVER = batch.Batch([EMULATOR, PROBE, "serve"])
    code, out, errors = PROBE_SERVER.run([str(a) for a in args])
    if code == -1:
        raise AssertionError("kaleidon-probe ended: %s" % errors)
    return code, out.replace("\r\n", "\n")


def end_probe():
    """Ends the test's probe (before its Wine server ends)."""
    global PROBE_SERVER
    if PROBE_SERVER is not None:
        PROBE_SERVER.close()
        PROBE_SERVER = None


def probe(*args, check=True):
    """kaleidon-probe's output, with Windows' line ends made Python's."""
    code, out = probe_outputs(*args)
    if check and code != 0:
        raise AssertionError("kaleidon-probe %s failed (%d): %s" % (" ".join(map(str, args)), code, out))
    return out


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def reg_add(key, name, data, kind="REG_SZ"):
    """Writes a value (name "" is the key's default), making the key."""
    probe("regset", key, name, kind, data)


def reg_set(name, value, kind="REG_SZ"):
    reg_add(SETTINGS_KEY, name, value, kind)


def reg_delete(key, name=None):
    """Deletes the value, or the key with everything below it; no matter
    when it is missing."""
    probe("regdelete", key, *([] if name is None else [name]), check=False)


def reg_get(key, name):
    """The value's data (numbers as 0x...), or None."""
    code, out = probe_outputs("regget", key, name)
    return out[:-1] if code == 0 and out.endswith("\n") else None


def prefix_path(windows):
    """Where a C: path of the Wine prefix lies on this system."""
    prefix = os.environ.get("KALEIDON_WINEPREFIX") or os.path.expanduser("~/.cache/kaleidon/wine-test")
    return os.path.join(prefix, "drive_c", windows[3:].replace("\\", "/"))


def local_app_data():
    """The user's local application-data folder in the prefix, as Windows names it."""
    return "C:\\users\\%s\\AppData\\Local" % getpass.getuser()


# Where Kaleidon keeps the wallpaper bitmap.
BITMAP_FOLDER = local_app_data() + "\\Trellwick\\Kaleidon"
BITMAP = BITMAP_FOLDER + "\\Kaleidon.bmp"


def bmp_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    return int.from_bytes(header[18:22], "little", signed=True), int.from_bytes(header[22:26], "little", signed=True)


class KaleidonCase(unittest.TestCase):
    def setUp(self):
        """Each test starts from a fresh user profile: no settings, no
        bitmap folder, the desktop style at the system's default (Fill)."""
        self.dir = tempfile.mkdtemp(prefix="kaleidon-wine-")
        reg_delete(SETTINGS)
        for name, value in (("Wallpaper", "none"), ("WallpaperStyle", "10"), ("TileWallpaper", "0")):
            reg_add(DESKTOP, name, value)
        shutil.rmtree(prefix_path(local_app_data() + "\\Trellwick"), ignore_errors=True)
        self.process = None
        self.pictures = []

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        end_probe()
        shutil.rmtree(self.dir, ignore_errors=True)

    def start(self, program=None):
        self.process = subprocess.Popen([EMULATOR, program or KALEIDON], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        code, _ = probe_outputs("form", 60)
        if code != 0:
            _, text = probe_outputs("dialog", "Kaleidon", 1)
            self.fail("the main form never appeared; message: %r" % text.strip())
        return True

    def stop(self):
        """Ends the program as the menu's Exit does; its exit code."""
        probe("close")
        return self.process.wait(timeout=30)

    def wait_for(self, key, name, expected, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if reg_get(key, name) == expected:
                return
            time.sleep(0.5)
        self.fail("%s\\%s is %r, expected %r" % (key, name, reg_get(key, name), expected))

    def assert_applied(self, tile, size):
        """The desktop shows the bitmap in the user's folder, of that size, as
        Kaleidon placed it: no style of the system's own, tiled or not."""
        self.assertEqual(reg_get(DESKTOP, "Wallpaper"), BITMAP)
        self.assertEqual(reg_get(DESKTOP, "WallpaperStyle"), "0")
        self.assertEqual(reg_get(DESKTOP, "TileWallpaper"), tile)
        self.assertEqual(bmp_size(prefix_path(BITMAP)), size)

    def picture(self, name, *convert_args, kind=""):
        """An image made by ImageMagick; kind prefixes the output (e.g. "BMP3:")."""
        path = os.path.join(self.dir, name)
        subprocess.run(["/usr/bin/convert", *convert_args, kind + path], check=True, capture_output=True)
        return path


class UserCase(KaleidonCase):
    """The program used as a person uses it: its tray icon, its menu, its dialogs."""

    def make_pictures(self, *names):
        """Solid pictures, one colour each, under the test's directory; the
        catalogue's base directory is set to it."""
        colours = ["red", "lime", "blue", "yellow", "magenta"]
        for i, name in enumerate(names):
            self.pictures.append(self.picture(name, "-size", "100x50", "xc:" + colours[i % 5], kind="BMP3:"))
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Random Paper", 0)

    def wallpaper(self):
        return reg_get(SETTINGS_KEY, "Wallpaper")

    def expect_wallpaper(self, index):
        self.wait_for(SETTINGS_KEY, "Wallpaper", windows_path(self.pictures[index]))

    def icon(self):
        """The centre of the program's icon, the first in Wine's tray window."""
        deadline = time.time() + 30
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Wine System Tray"],
                                   capture_output=True, text=True).stdout.split()
            if found:
                geometry = xdotool("getwindowgeometry", "--shell", found[0])
                values = dict(line.split("=") for line in geometry.split())
                return int(values["X"]) + 10, int(values["Y"]) + 10
            time.sleep(0.3)
        self.fail("no icon in the notification area")

    def tray_visible(self):
        return bool(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Wine System Tray"],
                                   capture_output=True, text=True).stdout.split())

    def menu(self, *keys):
        """Opens the tray menu with a right click and presses the keys in it."""
        deadline = time.time() + 30
        while not self.right_click_opens_menu():
            self.assertLess(time.time(), deadline, "the menu did not open")
        for key in keys:
            xdotool("key", key)
            time.sleep(0.1)

    def right_click_opens_menu(self):
        """A right click on the icon; whether the menu opened within 5 s (a
        click that comes while the program is busy may open none)."""
        x, y = self.icon()
        xdotool("mousemove", x, y, "click", 3)
        deadline = time.time() + 5
        while "#32768" not in probe("visible"):
            if time.time() > deadline:
                return False
            time.sleep(0.2)
        return True

    def double_click(self):
        x, y = self.icon()
        xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)

    def hint(self):
        x, y = self.icon()
        xdotool("mousemove", x + 1, y + 1)
        time.sleep(0.2)
        xdotool("mousemove", x, y)
        return probe("tip", 10).strip()

    def all_controls(self, caption):
        """The dialog's controls in their order, once it is open."""
        return [json.loads(line) for line in probe("controls", caption, 30).splitlines()]

    def controls(self, caption):
        """The dialog's controls that have identifiers of their own."""
        return {c["id"]: c for c in self.all_controls(caption) if c["id"] > 0}

    def wait_gone(self, caption):
        probe("gone", caption, 30)


def main():
    """Reads the programs from the command line and runs the calling script's tests."""
    global KALEIDON, PROBE, EMULATOR, SIGNED, UPDATE_KEY, PACKAGE
    parser = argparse.ArgumentParser()
    parser.add_argument("--kaleidon", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--emulator", required=True)
    parser.add_argument("--signed")
    parser.add_argument("--update-key")
    parser.add_argument("--package")
    args, rest = parser.parse_known_args()
    KALEIDON, PROBE, EMULATOR = args.kaleidon, args.probe, args.emulator
    SIGNED, UPDATE_KEY, PACKAGE = args.signed, args.update_key, args.package
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
