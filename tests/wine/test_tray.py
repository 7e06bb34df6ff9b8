"""Kaleidon.exe used as a person uses it, under Wine: the icon in Wine's
notification area clicked with the mouse (xdotool), the tray menu walked with
the keyboard, the dialogs read and set through kaleidon-probe, and the
registry read afterwards. Each test starts the program once and checks all
it can in that run."""

import os
import subprocess
import time

import kaleidon
from kaleidon import IDCANCEL, IDOK, IDS, SETTINGS_KEY, probe, reg_get, reg_set, windows_path, xdotool



class TrayCase(kaleidon.UserCase):
    def test_icon_hint_double_click_menu_and_exit(self):
        self.make_pictures("a&b.bmp", "b.bmp", "c.bmp")
        self.start()
        self.assertEqual(self.hint(), "Wallpaper:")
        self.double_click()  # "Chage Paper", in order: the first entry
        self.expect_wallpaper(0)
        self.assertEqual(self.hint(), "Wallpaper: a&b.bmp")
        self.menu("Down", "Return")  # "Chage Paper"
        self.expect_wallpaper(1)
        # The four commands, a separator (skipped by the keys), four more and a
        # separator, then the files.
        self.menu(*["Down"] * 11, "Return")
        self.expect_wallpaper(2)
        self.menu(*["Down"] * 9, "Return")
        self.expect_wallpaper(0)
        # From the top, Up wraps to "Exit"; two more pass the separator to the last file.
        self.menu("Up", "Up", "Return")
        self.expect_wallpaper(2)
        self.assert_applied("0", (1023, 516))  # 100 by 50, stretched proportionally
        self.menu("Up", "Return")
        self.assertEqual(self.process.wait(timeout=30), 0)
        time.sleep(1)
        self.assertFalse(self.tray_visible(), "the icon stayed in the notification area")

    def test_options_dialog_shows_writes_and_cancels(self):
        self.start()
        self.menu("Down", "Down", "Return")
        shown = self.controls("Configure Kaleidon")
        folder = windows_path(os.path.dirname(os.path.abspath(kaleidon.KALEIDON)))
        self.assertEqual(shown[IDS["IDC_PAPERLOCATION"]]["text"], folder)
        self.assertEqual(shown[IDS["IDC_CHANGEONSTART"]]["checked"], 0)
        for box in ("IDC_RANDOMWP", "IDC_WPINMENU", "IDC_JPEG", "IDC_GIF", "IDC_BMP", "IDC_PCX", "IDC_TIFF"):
            self.assertEqual(shown[IDS[box]]["checked"], 1, box)
        self.assertEqual(shown[IDS["IDC_CHANGETIME"]]["text"], "0")
        labels = [c["text"] for c in self.all_controls("Configure Kaleidon")]
        for label in ("Enter the base directory to search for images", "Browse...", "Advanced Options",
                      "Time between changes.  (0 to not autochange)", "Search For ...", "OK", "Cancel"):
            self.assertIn(label, labels)
        # 5000 typed into the interval and confirmed with Enter stores 2000.
        left, top, right, bottom = shown[IDS["IDC_CHANGETIME"]]["rect"]
        xdotool("mousemove", left + 10, (top + bottom) // 2, "click", 1)
        xdotool("key", "ctrl+a")
        xdotool("type", "5000")
        xdotool("key", "Return")
        self.wait_gone("Configure Kaleidon")
        self.wait_for(SETTINGS_KEY, "Change Time", "2000")
        self.assertEqual(reg_get(SETTINGS_KEY, "WPLocation"), folder)
        self.assertEqual(reg_get(SETTINGS_KEY, "Change Paper"), "0")
        self.assertEqual(reg_get(SETTINGS_KEY, "TIFF"), "1")
        self.assertTrue(self.hint().endswith("; Time: 2000 Min"))

        # Cancel after changes writes nothing; the next opening shows the stored values.
        self.menu("Down", "Down", "Return")
        self.controls("Configure Kaleidon")
        probe("set", "Configure Kaleidon", IDS["IDC_PAPERLOCATION"], "C:\\elsewhere")
        probe("click", "Configure Kaleidon", IDS["IDC_GIF"])
        probe("click", "Configure Kaleidon", IDCANCEL)
        self.wait_gone("Configure Kaleidon")
        self.assertEqual(reg_get(SETTINGS_KEY, "WPLocation"), folder)
        self.assertEqual(reg_get(SETTINGS_KEY, "GIF"), "1")

        # Advanced options: defaults, OK writes at once, and a Cancel of the
        # options dialog keeps them.
        self.menu("Down", "Down", "Return")
        self.controls("Configure Kaleidon")
        probe("click", "Configure Kaleidon", IDS["IDC_ADVANCED"])
        advanced = self.controls("Advanced Options")
        for spin in ("IDC_SMALLWIDTH", "IDC_SMALLHEIGHT", "IDC_LARGEWIDTH", "IDC_LARGEHEIGHT"):
            self.assertEqual(advanced[IDS[spin]]["text"], "0", spin)
        for kind in ("IDC_SMALLTYPE", "IDC_MIDDLETYPE", "IDC_LARGETYPE"):
            self.assertEqual(advanced[IDS[kind]]["selected"], 3, kind)
            self.assertEqual(advanced[IDS[kind]]["items"], ["Tile", "Center", "Stretch", "Stretch Proportionally"])
        probe("set", "Advanced Options", IDS["IDC_SMALLWIDTH"], "-5")
        probe("set", "Advanced Options", IDS["IDC_LARGEHEIGHT"], "99999999999")
        probe("click", "Advanced Options", IDOK)
        self.wait_gone("Advanced Options")
        probe("click", "Configure Kaleidon", IDCANCEL)
        self.wait_gone("Configure Kaleidon")
        self.assertEqual(reg_get(SETTINGS_KEY, "Small Width"), "-5")
        self.assertEqual(reg_get(SETTINGS_KEY, "Large Height"), "2147483647")
        self.assertEqual(reg_get(SETTINGS_KEY, "Middle Type"), "3")

        # A second "Configure Kaleidon" while one is open opens no second dialog,
        # and "Exit" with the dialog open ends the program cleanly.
        self.menu("Down", "Down", "Return")
        self.controls("Configure Kaleidon")
        self.menu("Down", "Down", "Return")
        time.sleep(1)
        self.assertEqual(probe("visible").count("Configure Kaleidon"), 1)
        self.menu("Up", "Return")
        self.assertEqual(self.process.wait(timeout=30), 0)

    def test_wallpaper_list_previews_and_applies(self):
        self.make_pictures("a.bmp", "b.bmp", "c.bmp")
        reg_set("Change Time", 0)
        self.start()
        self.menu("Down", "Down", "Down", "Return")
        listed = self.controls("Wallpaper List")[IDS["IDC_WPLISTBOX"]]
        self.assertEqual(listed["items"], [windows_path(p) for p in self.pictures])
        self.assertEqual(listed["selected"], -1)
        preview = self.controls("Wallpaper List")[IDS["IDC_PREVIEW"]]["rect"]
        self.assertEqual((preview[2] - preview[0], preview[3] - preview[1]), (186, 140))
        probe("select", "Wallpaper List", IDS["IDC_WPLISTBOX"], 1)
        self.assert_preview(preview, "00FF00")  # b.bmp is lime
        probe("click", "Wallpaper List", IDOK)
        self.expect_wallpaper(1)
        self.assert_applied("0", (1023, 516))

        # A double-click on an entry applies it.
        self.menu("Down", "Down", "Down", "Return")
        box = self.controls("Wallpaper List")[IDS["IDC_WPLISTBOX"]]
        left, top = box["rect"][0], box["rect"][1]
        xdotool("mousemove", left + 30, top + 2 + box["itemheight"] * 2 + box["itemheight"] // 2)
        xdotool("click", "--repeat", 2, "--delay", 80, 1)
        self.expect_wallpaper(2)

        # Cancel after a selection changes nothing. Moved to a screen of twice
        # the resolution first, the list and the preview keep their proportions.
        self.menu("Down", "Down", "Down", "Return")
        self.controls("Wallpaper List")
        probe("dpi", "Wallpaper List", 192)
        doubled = self.controls("Wallpaper List")
        for control, size in (("IDC_WPLISTBOX", (840, 450)), ("IDC_PREVIEW", (372, 280))):
            left, top, right, bottom = doubled[IDS[control]]["rect"]
            self.assertEqual((right - left, bottom - top), size, control)
        probe("select", "Wallpaper List", IDS["IDC_WPLISTBOX"], 0)
        probe("click", "Wallpaper List", IDCANCEL)
        self.wait_gone("Wallpaper List")
        time.sleep(1)
        self.assertEqual(self.wallpaper(), windows_path(self.pictures[2]))
        self.assertEqual(self.stop(), 0)

    def assert_preview(self, rect, colour):
        """The preview's top-left pixel shows the picture; the strip below it
        (a 100 by 50 picture fills the width only) the background."""
        left, top, right, bottom = rect
        deadline = time.time() + 20
        while True:
            shot = os.path.join(self.dir, "screen.png")
            subprocess.run(["import", "-window", "root", shot], check=True)
            pixels = subprocess.run(["convert", shot, "-crop", "1x1+%d+%d" % (left + 2, top + 2), "-depth", "8",
                                     "txt:-"], capture_output=True, text=True).stdout
            if "#" + colour in pixels.upper():
                break
            self.assertLess(time.time(), deadline, "the preview shows %s" % pixels)
            time.sleep(0.5)

    def test_invalid_directory_is_reported_once_and_opens_the_options(self):
        reg_set("WPLocation", windows_path(os.path.join(self.dir, "gone")))
        reg_set("Change Paper", 1)
        self.process = subprocess.Popen([kaleidon.EMULATOR, kaleidon.KALEIDON], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        text = probe("dialog", "Kaleidon", 60).strip()
        self.assertEqual(text, "Invalid Wallpaper Directory:\n" + windows_path(os.path.join(self.dir, "gone")) + "\\")
        self.controls("Configure Kaleidon")
        probe("set", "Configure Kaleidon", IDS["IDC_PAPERLOCATION"], windows_path(self.dir))
        self.make_pictures("only.bmp")
        probe("click", "Configure Kaleidon", IDOK)
        self.expect_wallpaper(0)
        self.assertEqual(probe("dialog", "Kaleidon", 1, check=False), "")
        self.assertEqual(self.stop(), 0)


if __name__ == "__main__":
    kaleidon.main()
