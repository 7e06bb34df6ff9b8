"""Kaleidon.exe on two monitors under Wine: an X server of its own (Xorg's
dummy driver with two outputs, which Wine reports as two monitors with
their real origins) and a Wine prefix of its own for it. The composed
bitmap's pixels are checked inside each monitor's rectangle."""

import os
import subprocess
import tempfile
import time

import kaleidon
from kaleidon import DESKTOP, SETTINGS, probe, reg_get, reg_set, windows_path

SETTINGS_KEY = SETTINGS + r"\Settings"
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)

XORG_CONF = """
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy0"
  Driver "dummy"
  VideoRam 65536
  Option "Monitor-DUMMY0" "mon0"
  Option "Monitor-DUMMY1" "mon1"
EndSection
Section "Monitor"
  Identifier "mon0"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Option "PreferredMode" "1024x768"
  Option "Primary" "true"
  Option "Position" "{p0}"
EndSection
Section "Monitor"
  Identifier "mon1"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "600x800" 37.76 600 624 688 760 800 803 813 828 -hsync +vsync
  Option "Enable" "true"
  Option "PreferredMode" "{mode1}"
  Option "Position" "{p1}"
EndSection
Section "Screen"
  Identifier "screen0"
  Device "dummy0"
  Monitor "mon0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
"""

# One prefix for every layout; its Wine server ends between layouts, since
# it reads the layout once.
PREFIX = os.path.expanduser("~/.cache/kaleidon/wine-monitors")


def bmp_pixel(path, x, y):
    """The (red, green, blue) of a 24-bit bottom-up bitmap file's pixel."""
    with open(path, "rb") as f:
        data = f.read()
    width, height = kaleidon.bmp_size(path)
    offset = int.from_bytes(data[10:14], "little")
    stride = (width * 3 + 3) // 4 * 4
    at = offset + (height - 1 - y) * stride + 3 * x
    blue, green, red = data[at:at + 3]
    return red, green, blue


class MonitorsCase(kaleidon.UserCase):
    def setUp(self):
        self.xorg = None
        self.saved_env = {}

    def tearDown(self):
        if self.xorg:
            kaleidon.UserCase.tearDown(self)
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=PREFIX), capture_output=True)
            self.xorg.kill()
            self.xorg.wait()
        for name, value in self.saved_env.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value

    def two_monitors(self, p0, p1, mode1="800x600"):
        """Starts the X server with the primary output at root position p0 and
        the second at p1, points Wine at it, and readies a fresh profile."""
        work = tempfile.mkdtemp(prefix="kaleidon-xorg-")
        conf = os.path.join(work, "xorg.conf")
        with open(conf, "w") as f:
            f.write(XORG_CONF.format(p0=p0, p1=p1, mode1=mode1))
        read, write = os.pipe()
        self.xorg = subprocess.Popen(["Xorg", "-displayfd", str(write), "-noreset", "-nolisten", "tcp", "-novtswitch",
                                      "-sharevts", "-config", conf, "-logfile", os.path.join(work, "xorg.log")],
                                     pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            display = ":" + f.readline().strip()
        for name, value in (("DISPLAY", display), ("KALEIDON_WINEPREFIX", PREFIX), ("WINEPREFIX", PREFIX),
                            ("KALEIDON_WINE_SESSION", None)):
            self.saved_env.setdefault(name, os.environ.get(name))
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value
        deadline = time.time() + 30
        while subprocess.run(["xrandr"], capture_output=True).returncode != 0:
            self.assertLess(time.time(), deadline, "the X server did not start")
            time.sleep(0.2)
        kaleidon.KaleidonCase.setUp(self)
        for name, colour in (("a.bmp", "red"), ("b.bmp", "lime")):
            self.picture(name, "-size", "100x50", "xc:" + colour, kind="BMP3:")
        self.picture("p.bmp", "-size", "50x100", "xc:blue", kind="BMP3:")
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Random Paper", 0)

    def change(self):
        """A double-click; waits until the pictures are shown."""
        before = reg_get(SETTINGS_KEY, "Wallpaper")
        self.double_click()
        deadline = time.time() + 60
        while reg_get(SETTINGS_KEY, "Wallpaper") == before:
            self.assertLess(time.time(), deadline, "the wallpaper did not change")
            time.sleep(0.5)

    def bitmap(self):
        return kaleidon.prefix_path(kaleidon.BITMAP)

    def assert_colour(self, x, y, colour):
        self.assertEqual(bmp_pixel(self.bitmap(), x, y), colour, (x, y))

    def test_side_by_side_a_picture_each_then_across_then_a_layout_change(self):
        self.two_monitors("0 0", "1024 0")
        self.assertEqual(probe("monitors").split()[:5], ["0", "0", "1024", "768", "primary"])
        self.start()
        self.assertEqual(reg_get(SETTINGS_KEY, "Monitors"), "1")  # several monitors at the first start
        self.change()
        self.assertEqual(kaleidon.bmp_size(self.bitmap()), (1824, 768))
        self.assert_colour(512, 384, RED)
        self.assert_colour(1024 + 400, 300, GREEN)
        self.assertEqual(reg_get(DESKTOP, "TileWallpaper"), "1")
        self.assertEqual(reg_get(DESKTOP, "WallpaperStyle"), "0")
        self.assertEqual(reg_get(SETTINGS_KEY, "Wallpaper 2"), windows_path(os.path.join(self.dir, "b.bmp")))

        # The second monitor moves below the primary: the same pictures, composed anew.
        before = os.stat(self.bitmap()).st_mtime_ns
        probe("move", r"\\.\DISPLAY2", 0, 768)
        deadline = time.time() + 60
        while kaleidon.bmp_size(self.bitmap()) != (1024, 1368):
            self.assertLess(time.time(), deadline, "the pictures were not composed for the new layout")
            time.sleep(0.5)
        self.assertNotEqual(os.stat(self.bitmap()).st_mtime_ns, before)
        self.assert_colour(512, 384, RED)
        self.assert_colour(400, 768 + 300, GREEN)

        # One picture across both, the one after the primary's: b.bmp, 100 by
        # 50, stretched proportionally to 1023 by 516 on the 1024 by 1368 box,
        # centred (rows 426 to 941).
        reg_set("Monitors", 2)
        self.change()
        self.assertEqual(reg_get(SETTINGS_KEY, "Wallpaper"), windows_path(os.path.join(self.dir, "b.bmp")))
        self.assertEqual(kaleidon.bmp_size(self.bitmap()), (1024, 1368))
        for y in (430, 684, 938):
            self.assert_colour(512, y, GREEN)
        self.assertNotEqual(bmp_pixel(self.bitmap(), 512, 420), GREEN)
        self.assertEqual(self.stop(), 0)

    def test_second_monitor_left_of_the_primary_is_drawn_at_the_far_right(self):
        self.two_monitors("800 0", "0 0")
        self.assertIn("-800 0 800 600 secondary", probe("monitors"))
        self.start()
        self.change()
        self.assertEqual(kaleidon.bmp_size(self.bitmap()), (1824, 768))
        # Left to right: the left monitor takes a.bmp, the primary b.bmp.
        self.assert_colour(1024 + 400, 300, RED)
        self.assert_colour(512, 384, GREEN)
        self.assertEqual(self.stop(), 0)

    def test_portrait_monitor_takes_the_portrait_picture(self):
        self.two_monitors("0 0", "1024 0", "600x800")
        self.start()
        self.change()
        self.assertEqual(kaleidon.bmp_size(self.bitmap()), (1624, 800))
        self.assert_colour(512, 384, RED)
        self.assert_colour(1024 + 300, 400, BLUE)
        self.assertEqual(reg_get(SETTINGS_KEY, "Wallpaper 2"), windows_path(os.path.join(self.dir, "p.bmp")))
        self.assertEqual(self.stop(), 0)


if __name__ == "__main__":
    kaleidon.main()
