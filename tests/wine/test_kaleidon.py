"""Kaleidon.exe as a whole, under Wine: start-up, the settings in the real
registry, error display, and wallpaper changes end to end."""

import subprocess

import kaleidon
from kaleidon import DESKTOP, SETTINGS, reg_get, reg_set, wine, windows_path


class StartupCase(kaleidon.KaleidonCase):
    def test_first_start_creates_the_key_and_shows_nothing(self):
        self.assertTrue(self.start(), "the main form never appeared")
        code, _ = wine("reg", "query", SETTINGS, check=False)
        self.assertEqual(code, 0, "the settings key was not created")
        _, visible = wine(kaleidon.PROBE, "visible")
        self.assertEqual(visible.strip(), "")
        self.assertEqual(self.stop(), 0)

    def test_wrong_value_type_is_shown_and_the_process_ends_cleanly(self):
        reg_set("Change Time", 5, "REG_DWORD")
        self.process = subprocess.Popen([kaleidon.EMULATOR, kaleidon.KALEIDON], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code, text = wine(kaleidon.PROBE, "dialog", "Kaleidon", "60", check=False)
        self.assertEqual(code, 0, "no message box")
        self.assertEqual(text.strip(), "Invalid data type for 'Change Time'")
        self.assertEqual(self.process.wait(timeout=30), 0)

    def test_change_paper_applies_a_wallpaper_at_start(self):
        source = self.picture("sky.bmp", "-size", "800x600", "gradient:blue-yellow", "-type", "TrueColor", kind="BMP3:")
        reg_set("WPLocation", windows_path(self.dir))
        reg_set("Change Paper", 1)
        self.assertTrue(self.start())
        self.wait_for(SETTINGS + r"\Settings", "Wallpaper", windows_path(source))
        bitmap = reg_get(DESKTOP, "Wallpaper")
        self.assertTrue(bitmap.lower().endswith("\\kaleidon.bmp"), bitmap)
        self.assertEqual(reg_get(DESKTOP, "TileWallpaper"), "0")
        self.assertEqual(kaleidon.bmp_size(kaleidon.prefix_path(bitmap)), (1023, 767))  # 800 by 600 on Wine's 1024 by 768 screen
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




if __name__ == "__main__":
    kaleidon.main()
