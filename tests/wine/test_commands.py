"""Kaleidon.exe and the commands people keep a wallpaper changer for, under
Wine: "Previous Wallpaper", "Pause Changes", "Never Show This Again" and
"Open File Location" in the tray menu, the history across a restart, the
excluded pictures in the catalogue and their dialog, "Start with Windows"
in the registry, a hotkey pressed, the command line against the running
program and without one, one program per session, and the random order."""

import os
import subprocess
import time

import kaleidon
from kaleidon import IDCANCEL, IDOK, IDS, SETTINGS, SETTINGS_KEY, command, probe, reg_delete, reg_get, reg_set, windows_path, xdotool

EXCLUDED_KEY = SETTINGS + r"\Excluded"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# Down presses that reach each item of the tray menu (the separators are skipped).
PREVIOUS, PAUSE, NEVER_AGAIN, FILE_LOCATION, FIRST_PICTURE = 5, 6, 7, 8, 9


class CommandsCase(kaleidon.UserCase):
    def setUp(self):
        super().setUp()
        self.forget_start_with_windows()

    def tearDown(self):
        super().tearDown()
        self.forget_start_with_windows()

    def forget_start_with_windows(self):
        """A Run value left behind would start Kaleidon with the prefix."""
        reg_delete(RUN_KEY, "Kaleidon")

    def run_command(self, *args):
        """A command the running program must carry out."""
        code, _, errors = command(*args)
        self.assertEqual((code, errors), (0, ""), args)

    def test_command_line_without_a_running_program(self):
        for args in (["/next"], ["/previous"], ["/pause"], ["/resume"], ["/exclude"], ["/set", "a.bmp"], ["/exit"]):
            self.assertEqual(command(*args), (1, "", "Kaleidon is not running.\n"), args)
        code, _, errors = command("/nxt")
        self.assertEqual(code, 2)
        self.assertTrue(errors.startswith("Unknown argument: /nxt\nUsage: Kaleidon [/next |"), errors)
        code, out, _ = command("/?")
        self.assertEqual(code, 0)
        self.assertTrue(out.startswith("Usage: Kaleidon"), out)

    def test_menu_commands_history_and_the_command_line(self):
        self.make_pictures("a.bmp", "b.bmp", "c.bmp", "d.bmp")
        reg_set("Change Time", 1)
        self.start()
        self.menu(*["Down"] * PAUSE, "Return")
        self.wait_for(SETTINGS_KEY, "Paused", "1")
        for i in range(3):
            self.run_command("/next")
            self.expect_wallpaper(i)
        second = subprocess.Popen([kaleidon.EMULATOR, kaleidon.KALEIDON], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.assertEqual(probe("dialog", "Kaleidon", 60).strip(),
                         "Kaleidon is already running: its icon is in the notification area.")
        self.assertEqual(second.wait(timeout=30), 0)
        self.run_command("/exit")
        self.assertEqual(self.process.wait(timeout=30), 0)

        # Back through the history, in reverse, after a restart; paused still.
        self.start()
        started = time.time()
        self.assertEqual(self.hint(), "Wallpaper: c.bmp; Time: 1 Min (paused)")
        self.menu(*["Down"] * PREVIOUS, "Return")
        self.expect_wallpaper(1)
        self.menu(*["Down"] * PREVIOUS, "Return")
        self.expect_wallpaper(0)

        # Never again: on to the next in order; out of the menu and the list.
        self.menu(*["Down"] * NEVER_AGAIN, "Return")
        self.expect_wallpaper(1)
        self.assertEqual(reg_get(EXCLUDED_KEY, windows_path(self.pictures[0])), "")
        self.run_command("/set", windows_path(self.pictures[3]))
        self.expect_wallpaper(3)
        self.menu(*["Down"] * FIRST_PICTURE, "Return")
        self.expect_wallpaper(1)
        self.menu("Down", "Down", "Down", "Return")
        listed = self.controls("Wallpaper List")[IDS["IDC_WPLISTBOX"]]["items"]
        self.assertEqual(listed, [windows_path(p) for p in self.pictures[1:]])
        probe("click", "Wallpaper List", IDCANCEL)
        self.wait_gone("Wallpaper List")

        # The excluded pictures' dialog takes it off the list at its OK.
        self.menu("Down", "Down", "Return")
        self.controls("Configure Kaleidon")
        probe("click", "Configure Kaleidon", IDS["IDC_EXCLUDED"])
        excluded = self.controls("Excluded Pictures")[IDS["IDC_EXCLUDEDLIST"]]
        self.assertEqual(excluded["items"], [windows_path(self.pictures[0])])
        probe("select", "Excluded Pictures", IDS["IDC_EXCLUDEDLIST"], 0)
        probe("click", "Excluded Pictures", IDS["IDC_REMOVE"])
        probe("click", "Excluded Pictures", IDOK)
        self.wait_gone("Excluded Pictures")
        self.assertIsNone(reg_get(EXCLUDED_KEY, windows_path(self.pictures[0])))

        # "Start with Windows" writes the quoted path; cleared, the value goes.
        probe("click", "Configure Kaleidon", IDS["IDC_STARTWITHWINDOWS"])
        probe("click", "Configure Kaleidon", IDOK)
        self.wait_gone("Configure Kaleidon")
        self.wait_for(RUN_KEY, "Kaleidon", '"%s"' % windows_path(kaleidon.KALEIDON))
        self.menu("Down", "Down", "Return")
        self.assertEqual(self.controls("Configure Kaleidon")[IDS["IDC_STARTWITHWINDOWS"]]["checked"], 1)
        probe("click", "Configure Kaleidon", IDS["IDC_STARTWITHWINDOWS"])
        probe("click", "Configure Kaleidon", IDOK)
        self.wait_gone("Configure Kaleidon")
        self.wait_for(RUN_KEY, "Kaleidon", None)

        # The file manager shows the folder. It is moved off the tray rather
        # than closed: closing Wine's file manager ends Wine's desktop
        # process, and the tray with it.
        self.menu(*["Down"] * FILE_LOCATION, "Return")
        deadline = time.time() + 60
        while not (folder := subprocess.run(["xdotool", "search", "--onlyvisible", "--name", os.path.basename(self.dir)],
                                            capture_output=True, text=True).stdout.split()):
            self.assertLess(time.time(), deadline, "no window of the picture's folder")
            time.sleep(0.3)
        xdotool("windowmove", folder[0], 300, 300)

        # Keys reach Wine's hotkeys through one of its windows.
        tray = xdotool("search", "--onlyvisible", "--name", "Wine System Tray").split()[0]
        xdotool("windowfocus", tray)
        xdotool("key", "ctrl+alt+Right")
        self.expect_wallpaper(2)

        # Paused, a minute's timer changed nothing.
        time.sleep(max(0.0, started + 75 - time.time()))
        self.assertEqual(self.wallpaper(), windows_path(self.pictures[2]))
        self.assertEqual(self.hint(), "Wallpaper: c.bmp; Time: 1 Min (paused)")

        self.run_command("/resume")
        self.assertEqual(reg_get(SETTINGS_KEY, "Paused"), "0")
        self.run_command("/PAUSE")
        self.assertEqual(reg_get(SETTINGS_KEY, "Paused"), "1")
        self.run_command("/exclude")
        self.expect_wallpaper(3)
        self.assertEqual(reg_get(EXCLUDED_KEY, windows_path(self.pictures[2])), "")
        self.run_command("/previous")
        self.expect_wallpaper(1)
        gone = windows_path(os.path.join(self.dir, "gone.bmp"))
        code, _, errors = command("/set", gone)
        self.assertEqual(code, 1)
        self.assertTrue(errors.startswith('Cannot open file "%s"' % gone), errors)
        self.run_command("/exit")
        self.assertEqual(self.process.wait(timeout=30), 0)

    def test_random_order_is_a_shuffle_of_its_own_at_each_start(self):
        self.make_pictures(*["p%d.bmp" % i for i in range(10)])
        reg_set("Random Paper", 1)
        orders = []
        for _ in range(2):
            reg_delete(SETTINGS_KEY, "Wallpaper")
            self.start()
            order = []
            for _ in range(10):
                self.run_command("/next")
                order.append(self.wallpaper())
            self.assertEqual(sorted(order), sorted(windows_path(p) for p in self.pictures))
            self.run_command("/exit")
            self.assertEqual(self.process.wait(timeout=30), 0)
            orders.append(order)
        self.assertNotEqual(orders[0], orders[1])


if __name__ == "__main__":
    kaleidon.main()
