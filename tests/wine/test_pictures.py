"""PNG and WebP pictures under Wine, used as a person uses them: both kinds in
the wallpaper list, applied from it with the right pixels (the transparent
part in the desktop's colour, which the test sets in Wine's registry), and
left out of the catalogue once their check boxes in "Configure Kaleidon" are
cleared."""

import os
import subprocess

import kaleidon
from kaleidon import DESKTOP, IDOK, IDS, probe, reg_add, reg_get, reg_set, windows_path

SETTINGS_KEY = kaleidon.SETTINGS + r"\Settings"
DESKTOP_COLOUR = (51, 102, 153)
RED, BLUE = (255, 0, 0), (0, 0, 255)


def bmp_pixel(path, x, y):
    """(red, green, blue) of a 24-bit bottom-up bitmap file's pixel."""
    with open(path, "rb") as f:
        data = f.read()
    width, height = int.from_bytes(data[18:22], "little"), int.from_bytes(data[22:26], "little")
    assert int.from_bytes(data[28:30], "little") == 24, "not a 24-bit bitmap"
    at = 54 + (height - 1 - y) * ((width * 3 + 3) // 4 * 4) + 3 * x
    return data[at + 2], data[at + 1], data[at]


class PictureKindsCase(kaleidon.UserCase):
    def setUp(self):
        super().setUp()
        reg_add(r"HKCU\Control Panel\Colors", "Background", "%d %d %d" % DESKTOP_COLOUR)

    def logo(self, name, kind=""):
        """60 by 30: red, blue and transparent thirds."""
        return self.picture(name, "-size", "60x30", "xc:none", "-fill", "red", "-draw", "rectangle 0,0 19,29",
                            "-fill", "blue", "-draw", "rectangle 20,0 39,29", kind=kind)

    def listed(self):
        """The wallpaper list's entries, the list left open."""
        self.menu("Down", "Down", "Down", "Return")
        return self.controls("Wallpaper List")[IDS["IDC_WPLISTBOX"]]["items"]

    def apply_from_the_list(self, index, source):
        self.assertIn(windows_path(source), self.listed())
        probe("select", "Wallpaper List", IDS["IDC_WPLISTBOX"], index)
        probe("click", "Wallpaper List", IDOK)
        self.wait_for(SETTINGS_KEY, "Wallpaper", windows_path(source))
        bitmap = kaleidon.prefix_path(reg_get(DESKTOP, "Wallpaper"))
        self.assertEqual([bmp_pixel(bitmap, x, 15) for x in (5, 25, 45)], [RED, BLUE, DESKTOP_COLOUR], source)

    def test_png_and_webp_listed_applied_and_turned_off(self):
        base = os.path.join(self.dir, "pictures")
        os.makedirs(base)
        bmp = self.picture("pictures/a.bmp", "-size", "10x10", "xc:lime", kind="BMP3:")
        png = self.logo("pictures/b.png", "PNG32:")
        webp = os.path.join(base, "c.webp")
        subprocess.run(["cwebp", "-quiet", "-lossless", "-exact", self.logo("logo.png", "PNG32:"), "-o", webp],
                       check=True)
        reg_set("WPLocation", windows_path(base))
        reg_set("Random Paper", 0)
        reg_set("Large Type", 0)  # tiled: the saved pixels are the picture's
        self.start()
        self.assertEqual(self.listed(), [windows_path(p) for p in (bmp, png, webp)])
        probe("click", "Wallpaper List", kaleidon.IDCANCEL)
        self.wait_gone("Wallpaper List")
        self.apply_from_the_list(1, png)
        self.apply_from_the_list(2, webp)

        self.menu("Down", "Down", "Return")
        shown = self.controls("Configure Kaleidon")
        for box in ("IDC_PNG", "IDC_WEBP"):
            self.assertEqual(shown[IDS[box]]["checked"], 1, box)
            probe("click", "Configure Kaleidon", IDS[box])
        probe("click", "Configure Kaleidon", IDOK)
        self.wait_gone("Configure Kaleidon")
        self.wait_for(SETTINGS_KEY, "WEBP", "0")
        self.assertEqual(reg_get(SETTINGS_KEY, "PNG"), "0")
        self.assertEqual(self.listed(), [windows_path(bmp)])
        probe("click", "Wallpaper List", kaleidon.IDCANCEL)
        self.wait_gone("Wallpaper List")
        self.assertEqual(self.stop(), 0)


if __name__ == "__main__":
    kaleidon.main()
