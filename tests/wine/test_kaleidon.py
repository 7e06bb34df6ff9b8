"""Kaleidon.exe as a whole, under Wine: start-up, the settings in the real
registry, error display, and wallpaper changes end to end."""

import os
import subprocess
import time

import kaleidon
from kaleidon import DESKTOP, SETTINGS, probe, reg_get, reg_set, windows_path


class StartupCase(kaleidon.KaleidonCase):
    def test_first_start_creates_the_key_and_shows_nothing(self):
        self.assertTrue(self.start(), "the main form never appeared")
        code, _ = kaleidon.probe_outputs("regkey", SETTINGS)
        self.assertEqual(code, 0, "the settings key was not created")
        visible = kaleidon.probe("visible")
        self.assertEqual(visible.strip(), "")
        self.assertEqual(self.stop(), 0)

    def test_wrong_value_type_is_shown_and_the_process_ends_cleanly(self):
        reg_set("Change Time", 5, "REG_DWORD")
        self.process = subprocess.Popen([kaleidon.EMULATOR, kaleidon.KALEIDON], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code, text = kaleidon.probe_outputs("dialog", "Kaleidon", 60)
        self.assertEqual(code, 0, "no message box")
        self.assertEqual(text.strip(), "Invalid data type for 'Change Time'")
        self.assertEqual(self.process.wait(timeout=30), 0)

    def test_change_paper_applies_a_wallpaper_at_start(self):
        source = self.picture("sky.bmp", "-size", "800x600", "gradient:blue-yellow", "-type", "TrueColor", kind="BMP3:")
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Change Paper", 1)
        self.assertTrue(self.start())
        self.wait_for(SETTINGS + r"\Settings", "Wallpaper", windows_path(source))
        self.assert_applied("0", (1023, 767))  # 800 by 600 on Wine's 1024 by 768 screen
        self.assertEqual(self.stop(), 0)

    def test_every_file_kind_becomes_the_wallpaper_in_turn(self):
        sources = [
            self.picture("a.jpg", "-size", "64x48", "plasma:fractal", "-seed", "3"),
            self.picture("b.gif", "-size", "64x48", "gradient:red-blue"),
            self.picture("c.pcx", "-size", "64x48", "gradient:green-white", "-type", "TrueColor"),
            self.picture("d.tif", "-size", "64x48", "gradient:black-orange", "-depth", "8", "-compress", "LZW"),
        ]
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Change Paper", 1)
        reg_set("Random Paper", 0)
        for source in sources:
            self.assertTrue(self.start())
            self.wait_for(SETTINGS + r"\Settings", "Wallpaper", windows_path(source))
            self.assertEqual(self.stop(), 0)



class StandardUserCase(kaleidon.UserCase):
    """Kaleidon as a standard user of Windows 10/11 runs it: the Windows
    directory not writable, the desktop style preset to Fill."""

    def test_the_harness_forbids_writing_the_windows_directory(self):
        target = r"C:\windows\kaleidon-probe.txt"
        code, text = kaleidon.probe_outputs("write", target)
        self.assertEqual(code, 1, "the program could write into the Windows directory")
        self.assertTrue(text.strip(), "no reason given")
        self.assertFalse(os.path.exists(kaleidon.prefix_path(target)))
        self.assertEqual(kaleidon.probe_outputs("write", kaleidon.local_app_data() + r"\probe.txt")[0], 0)

    def test_a_timed_change_then_each_placement(self):
        """The timer's change a minute after the start (the count then reloads
        0, so no other follows), then each placement by the menu's "Chage
        Paper" (the placement is read at each change)."""
        for name in ("a.bmp", "b.bmp"):
            self.picture(name, "-size", "800x600", "gradient:blue-yellow", "-type", "TrueColor", kind="BMP3:")
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Random Paper", 0)
        reg_set("Change Time", 1)
        self.start()
        # The start has read "Change Time" once it has stored "Monitors".
        self.wait_for(SETTINGS + r"\Settings", "Monitors", "0")
        reg_set("Change Time", 0)
        self.wait_changed(None, seconds=90)
        self.assert_applied("0", (1023, 767))
        for placement, tile, size in ((0, "1", (800, 600)), (1, "0", (800, 600)), (2, "0", (1023, 767)),
                                      (3, "0", (1023, 767))):
            reg_set("Large Type", placement)
            before = reg_get(SETTINGS + r"\Settings", "Wallpaper")
            self.menu("Down", "Return")
            self.wait_changed(before)
            self.assert_applied(tile, size)
        self.assertEqual(self.stop(), 0)

    def wait_changed(self, before, seconds=30):
        deadline = time.time() + seconds
        while reg_get(SETTINGS + r"\Settings", "Wallpaper") == before:
            self.assertLess(time.time(), deadline, "the wallpaper did not change")
            time.sleep(0.5)

    def boxes(self):
        return [line for line in probe("visible").splitlines() if line.startswith('#32770 "Kaleidon"')]

    def test_unwritable_bitmap_folder_shows_one_box_and_the_program_stays(self):
        """A change at start that cannot write the bitmap shows why; a tick of
        the one-minute timer adds no second box; after OK the menu works."""
        folder = kaleidon.prefix_path(kaleidon.BITMAP_FOLDER)
        os.makedirs(folder)
        os.chmod(folder, 0o555)
        self.picture("a.bmp", "-size", "80x60", "xc:red", kind="BMP3:")
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Change Paper", 1)
        reg_set("Change Time", 1)
        self.process = subprocess.Popen([kaleidon.EMULATOR, kaleidon.KALEIDON], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        started = time.time()
        texts = [c["text"] for c in self.all_controls("Kaleidon") if c["class"] == "Static" and c["text"]]
        prefix = "Cannot create file %s. " % kaleidon.BITMAP
        self.assertTrue(texts and texts[0].startswith(prefix) and len(texts[0]) > len(prefix), texts)
        while time.time() - started < 70:
            self.assertLessEqual(len(self.boxes()), 1)
            time.sleep(5)
        self.assertEqual(len(self.boxes()), 1)
        probe("dialog", "Kaleidon", 5)
        self.menu("Down", "Down", "Return")
        self.controls("Configure Kaleidon")
        probe("click", "Configure Kaleidon", kaleidon.IDCANCEL)
        self.wait_gone("Configure Kaleidon")
        self.assertEqual(reg_get(DESKTOP, "Wallpaper"), "none")
        self.assertEqual(self.stop(), 0)


if __name__ == "__main__":
    kaleidon.main()
