"""The About box and the update check of Kaleidon.exe, used as a person uses
them under Wine: the tray menu's "About Kaleidon", "Update", "Check for
Upgrade", each question answered, the file-save dialog filled in, the
install prompt. The product's web site is a server on 127.0.0.1
(product_server.py) whose pages, read-me, read-me document and package are
made to misbehave in turn, and then to attack the user; the package is a
program that records its arguments. The program is the one trusting the
tests' own key, with "Update Verify" 2 and short time limits ("Update
Timeout"), but for one case of the build without a key."""

import glob
import os
import re
import signal
import subprocess
import time

import kaleidon
from kaleidon import IDS, probe, reg_add, reg_delete, reg_get, reg_set, windows_path, xdotool
import product_server
from misbehaving_server import raw
from product_server import ProductSite, closed_port, cut_short, dribbles, endless, ok, page_of, stops_sending, \
    trickles, unlabelled

TIME_LIMIT = 3
# A start of Wine's probe, and its polling, on top of a time limit.
SLACK = 5
# The machine's policy over the update check.
POLICY = r"HKLM\Software\Policies\Trellwick\Kaleidon"
YES, NO = 6, 7
CMAKELISTS = os.path.join(os.path.dirname(__file__), "..", "..", "CMakeLists.txt")
# A read-me saved in Windows-1252, the code page of the program's version block.
README = "Kaléidon 2.0\nMore pictures.\r\nFewer bugs.\n".encode("cp1252")


def file_version():
    """The project's version as the version resource carries it: four numbers."""
    with open(CMAKELISTS) as cmake:
        version = re.search(r"project\(Kaleidon VERSION ([\d.]+)", cmake.read()).group(1).split(".")
    return ".".join(version + ["0"] * (4 - len(version)))


def newer(version):
    parts = version.split(".")
    return ".".join(parts[:-1] + [str(int(parts[-1]) + 1)])


def connection_error(error):
    return 'Could not retrieve version information from the Internet.\rError: "%s."' % error


def download_error(error):
    return 'Error occurred while downloading update.\rError: "%s."' % error


class UpdateSite(kaleidon.UserCase):
    """The product's site on 127.0.0.1 offering the package, and the update
    dialog driven as a user drives it."""

    def setUp(self):
        super().setUp()
        with open(kaleidon.PACKAGE, "rb") as package:
            self.package = package.read()
        self.site = ProductSite(self.package, kaleidon.UPDATE_KEY)
        self.version = file_version()
        self.site.serve("/Kaleidon-Setup.exe", ok(self.package, "application/octet-stream"))
        self.site.serve("/readme.txt", ok(README, "text/plain"))
        reg_set("Update URL", self.site.url("/kaleidon.htm"))
        reg_set("Update Verify", 2)
        reg_set("Update Timeout", TIME_LIMIT)

    def tearDown(self):
        super().tearDown()
        self.site.close()
        reg_delete(POLICY)

    def offer(self, version, key=None, extra=(), **release):
        self.site.serve("/kaleidon.htm", self.site.page(version, key, extra, **release))

    def about(self):
        self.menu("Down", "Down", "Down", "Down", "Return")
        return self.controls("About")

    def open_update(self):
        """About Kaleidon, then its "Update": the update dialog."""
        self.about()
        probe("click", "About", IDS["IDC_UPDATE"])
        return self.controls("Check for Update")

    def check(self):
        probe("click", "Check for Update", IDS["IDC_CHECKUPGRADE"])

    def answer(self, caption, button=kaleidon.IDOK, seconds=30):
        """The text of the message box with that caption, answered."""
        code, text = kaleidon.probe_outputs("dialog", caption, seconds, button)
        self.assertEqual(code, 0, "no message box %r; open: %s" % (caption, probe("visible")))
        return text.replace("\r\n", "\n")[:-1]

    def save_as(self, name):
        """The save dialog filled in and saved; the name it proposed."""
        return probe("save", windows_path(os.path.join(self.dir, name)), 30).strip()

    def done(self):
        probe("click", "Check for Update", kaleidon.IDOK)
        self.wait_gone("Check for Update")

    def left_in_dir(self):
        return sorted(os.listdir(self.dir))


class UpdateCase(UpdateSite):

    def test_about_box_then_an_update_downloaded_and_installed(self):
        # The shell opens text documents with Notepad in the tests' prefix.
        reg_add(r"HKCR\.txt", "", "txtfile")
        self.offer(self.version)
        self.start(kaleidon.SIGNED)

        shown = self.about()
        self.assertEqual(shown[IDS["IDC_PRODUCTNAME"]]["text"], "Kaleidon")
        self.assertEqual(shown[IDS["IDC_VERSION"]]["text"], "Version " + self.version)
        self.assertEqual(shown[IDS["IDC_COPYRIGHT"]]["text"], "Copyright (C) 2026 Trellwick")
        self.assertEqual(shown[IDS["IDC_COMPANY"]]["text"], "Trellwick")
        self.assertTrue(shown[IDS["IDC_COMMENTS"]]["text"].startswith("Changes the desktop wallpaper"))
        comments = shown[IDS["IDC_COMMENTS"]]["rect"]
        self.assertEqual((comments[2] - comments[0], comments[3] - comments[1]), (217, 41))
        self.assertEqual(shown[IDS["IDC_UPDATE"]]["text"], "Update")
        icon = shown[IDS["IDC_PROGRAMICON"]]["rect"]
        self.assertEqual((icon[2] - icon[0], icon[3] - icon[1]), (73, 73))
        # Esc does nothing; Enter closes the box and nothing follows. A
        # click on the box gives it the keyboard.
        left, top, right, bottom = shown[IDS["IDC_PRODUCTNAME"]]["rect"]
        xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        xdotool("key", "Escape")
        time.sleep(1)
        self.controls("About")
        xdotool("key", "Return")
        self.wait_gone("About")
        time.sleep(1)
        self.assertNotIn("Check for Update", probe("visible"))

        # The close box closes the box and nothing follows; "Update" opens
        # the update dialog.
        self.about()
        probe("sysclose", "About")
        self.wait_gone("About")
        time.sleep(1)
        self.assertNotIn("Check for Update", probe("visible"))
        self.open_update()
        texts = [c["text"] for c in self.all_controls("Check for Update")]
        self.assertEqual(texts[:3], ["Done", "Check for Upgrade", "Kaleidon Automatic Updater"])
        self.assertEqual(texts[3].split("\r\n"), [
            "You must be connected to the internet for Kaleidon to check for an update.  If you are connected to "
            "the internet then press the \"Check for Upgrade\" button to see if ther is a newer version available.",
            "Kaleidon will check for an update and then prompt you as to whether you would like to download the "
            "upgrade."])
        self.check()
        self.assertEqual(self.answer("No Update Found"), "There is no update available.")
        self.done()

        # A newer version: its read-me document opens, the package is saved
        # where the user says and, on Yes, runs as the page says; Kaleidon ends.
        offered = newer(self.version)
        self.offer(offered, readme=self.site.url("/readme.txt"),
                   document=(self.site.url("/docs/whatsnew.txt"), b"What is new"))
        self.site.serve("/docs/whatsnew.txt", ok(b"What is new", "text/plain"))
        documents = set(read_me_documents("ReadMe.txt"))
        self.open_update()
        self.check()
        question = "Current version is %s.\rVersion %s is available.\r" % (self.version, offered)
        self.assertEqual(self.answer("Update Available", YES), question + "Would you like to view the ReadMe file?")
        self.read_me_document_opened("ReadMe.txt", b"What is new", documents)
        self.assertEqual(self.answer("Update Available", YES), question + "Download the update?")
        self.assertEqual(self.save_as("Kaleidon-Setup"), "Kaleidon-Setup.exe")
        self.assertEqual(self.answer("Install Update", YES),
                         "Do you want to install the update now?\rThis will close Kaleidon.")
        self.assertEqual(self.process.wait(timeout=30), 0)
        self.assertEqual(self.recorded_arguments("Kaleidon-Setup.EXE"), product_server.RUN_PARAMS)
        with open(os.path.join(self.dir, "Kaleidon-Setup.EXE"), "rb") as saved:
            self.assertEqual(saved.read(), self.package)
        self.assertNotIn("/readme.txt", self.site.requested())
        self.assertEqual(reg_get(kaleidon.SETTINGS + r"\Settings", "Update Highest Version"), offered)

    def read_me_document_opened(self, name, content, before):
        """Notepad shows the document, saved in a new folder of its own under
        the temporary folder; Notepad is ended again."""
        deadline = time.time() + 30
        while not xdotool_search(name + " - Notepad"):
            self.assertLess(time.time(), deadline, "the read-me document was not opened")
            time.sleep(0.3)
        for window in xdotool_search(name + " - Notepad"):
            os.kill(int(xdotool("getwindowpid", window)), signal.SIGTERM)
        saved = set(read_me_documents(name)) - before
        self.assertEqual(len(saved), 1, saved)
        with open(saved.pop(), "rb") as document:
            self.assertEqual(document.read(), content)

    def recorded_arguments(self, package):
        path = os.path.join(self.dir, package + ".args")
        deadline = time.time() + 30
        while not os.path.exists(path):
            self.assertLess(time.time(), deadline, "the package did not run")
            time.sleep(0.3)
        with open(path, encoding="utf-8") as recorded:
            return recorded.read()

    def test_failures_end_in_their_error_box_and_leave_nothing_behind(self):
        self.start(kaleidon.SIGNED)
        # The page is not there.
        reg_set("Update URL", self.site.url("/missing.htm"))
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Kaleidon"), "404")
        self.assertEqual(self.answer("Connection Error"), connection_error("Not Found"))
        self.done()

        # Nobody listens on the page's port.
        reg_set("Update URL", "http://127.0.0.1:%d/kaleidon.htm" % closed_port())
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Kaleidon"), "404")
        self.assertEqual(self.answer("Connection Error"), connection_error("Connection refused (Error #10061)"))
        self.done()

        # The release is signed by a key the program does not trust: refused
        # before any question.
        reg_set("Update URL", self.site.url("/kaleidon.htm"))
        self.offer(newer(self.version), key=product_server.other_key(self.dir))
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Connection Error"), connection_error("The update's signature does not match"))
        self.done()
        self.assertNotIn("/Kaleidon-Setup.exe", self.site.requested())

        # A read-me that is no document is not opened, the plain one follows;
        # then a package cut short.
        self.offer(newer(self.version), readme=self.site.url("/readme.txt"),
                   document=(self.site.url("/docs/readme.exe"), b"MZ"))
        self.site.serve("/Kaleidon-Setup.exe", cut_short(self.package, 5000))
        self.open_update()
        self.check()
        self.answer("Update Available", YES)
        self.assertEqual(self.answer("Error"),
                         "Could not retrieve the read-me: It is not a text, web page, RTF or PDF document")
        read_me = [c for c in self.all_controls("Read Me") if c["class"] == "Edit"]
        self.assertEqual(read_me[0]["text"], "Kaléidon 2.0\r\nMore pictures.\r\nFewer bugs.\r\n")
        probe("click", "Read Me", kaleidon.IDOK)
        self.answer("Update Available", YES)
        self.save_as("Kaleidon-Setup")
        self.assertEqual(self.answer("Download Error"),
                         download_error("Document truncated: 5000 of %d bytes received" % len(self.package)))
        self.assertEqual(self.left_in_dir(), ["other.pem"])
        self.assertNotIn("/docs/readme.exe", self.site.requested())

        # The same dialog again (the page is not fetched again): a package
        # that is not the one signed, of the same size and of another.
        tampered = bytes([self.package[0] ^ 1]) + self.package[1:]
        self.site.serve("/Kaleidon-Setup.exe", ok(tampered, "application/octet-stream"))
        self.download()
        self.assertEqual(self.answer("Download Error"),
                         download_error("The downloaded file's SHA-256 does not match the update's"))
        self.assertEqual(self.left_in_dir(), ["other.pem"])
        self.site.serve("/Kaleidon-Setup.exe", ok(self.package + b"!", "application/octet-stream"))
        self.download()
        self.assertEqual(self.answer("Download Error"), download_error(
            "Content-Length %d is not the expected %d bytes" % (len(self.package) + 1, len(self.package))))
        self.assertEqual(self.left_in_dir(), ["other.pem"])

        # A server that stops sending: the error within the time limit.
        self.site.serve("/Kaleidon-Setup.exe", stops_sending(self.package, 5000))
        self.download()
        self.controls("Download Progress")
        started = time.time()
        self.assertEqual(self.answer("Download Error"), download_error("Connection timed out"))
        self.assertLess(time.time() - started, TIME_LIMIT + SLACK)
        self.assertEqual(self.left_in_dir(), ["other.pem"])

        # Cancel while the package arrives.
        self.site.serve("/Kaleidon-Setup.exe", dribbles(self.package, 5000))
        self.download()
        progress = self.controls("Download Progress")
        self.assertEqual(progress[2]["text"], "&Cancel")
        self.assertIn("Downloading Update", [c["text"] for c in progress.values()])
        probe("click", "Download Progress", kaleidon.IDCANCEL)
        self.assertEqual(self.answer("Download Error"), download_error("Connection aborted on request"))
        self.assertEqual(self.left_in_dir(), ["other.pem"])

        # "Exit" while the package arrives: the download is abandoned and the
        # program ends.
        self.download()
        self.controls("Download Progress")
        self.menu("Up", "Return")
        self.assertEqual(self.process.wait(timeout=30), 0)
        self.assertEqual(self.left_in_dir(), ["other.pem"])
        self.assertEqual(self.site.requested().count("/kaleidon.htm"), 2)

    def download(self):
        """"Check for Upgrade" on the open dialog: no read-me, the download, saved as Kaleidon-Setup."""
        self.check()
        self.answer("Update Available", NO)
        self.answer("Update Available", YES)
        self.save_as("Kaleidon-Setup")


class HostileUpdateCase(UpdateSite):
    """The site plays an attacker between the program and the maker: nothing
    it chose is opened, launched or kept, and the user sees why."""

    def refused(self, reason):
        """Check for Upgrade ends in the Connection Error box naming the reason, and nothing more."""
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Connection Error"), connection_error(reason))
        self.done()

    def test_pages_that_fail_verification_lead_to_nothing(self):
        self.start(kaleidon.SIGNED)
        evil = [("KDNVersion", "9.0.0.0"), ("KDNDownload", self.site.url("/evil.exe")),
                ("KDNReadme", self.site.url("/readme.txt")), ("KDNReadmeExt", self.site.url("/evil.rtf"))]
        # No signature, with the user's "Update Verify" set to 0: a key is
        # built in, so the setting cannot lower verification.
        reg_set("Update Verify", 0)
        self.site.serve("/kaleidon.htm", page_of("", evil))
        self.refused("The update has no SHA-256 (KDNSHA256)")
        # A line injected into a genuinely signed page.
        offered = newer(self.version)
        genuine = self.site.signed(offered)
        self.site.serve("/kaleidon.htm", page_of(genuine, [("KDNReadmeExt", self.site.url("/evil.rtf"))]))
        self.refused("The update's signature does not match")
        # Signed as releases were before the signed text named itself.
        self.site.serve("/kaleidon.htm", page_of(unlabelled(genuine, kaleidon.UPDATE_KEY)))
        self.refused("The update's signature does not match")
        # A captured release past its expiry.
        self.offer(offered, expires="2020-01-01T00:00:00Z")
        self.refused("The update information expired on 2020-01-01T00:00:00Z")
        self.assertEqual(self.site.requested(), ["/kaleidon.htm"] * 4)
        self.assertEqual(self.left_in_dir(), [])

        # A captured older release once a newer one verified.
        self.offer(newer(offered))
        self.open_update()
        self.check()
        self.answer("Update Available", NO)
        self.done()
        self.assertEqual(reg_get(kaleidon.SETTINGS + r"\Settings", "Update Highest Version"), newer(offered))
        self.offer(offered)
        self.refused("Version %s is older than version %s offered before" % (offered, newer(offered)))

        # An administrator's machine-wide policy may lower verification.
        reg_add(POLICY, "Update Verify", 0, "REG_DWORD")
        self.site.serve("/kaleidon.htm", page_of("", evil))
        self.open_update()
        self.check()
        self.assertIn("Version 9.0.0.0 is available.", self.answer("Update Available", NO))
        self.assertIn("Download the update?", self.answer("Update Available", NO))
        self.done()
        self.assertNotIn("/evil.exe", self.site.requested())

    def test_what_is_fetched_is_held_to_what_was_signed(self):
        self.start(kaleidon.SIGNED)
        offered = newer(self.version)
        other = ProductSite(self.package, kaleidon.UPDATE_KEY)
        self.addCleanup(other.close)
        # The page's credentials go to its own origin only: the read-me, not
        # the package on another server. The read-me document is not the one
        # signed: it is not opened, the plain read-me follows.
        reg_set("Update URL", self.site.url("/kaleidon.htm").replace("://", "://kaleidon:secret@"))
        self.offer(offered, package_url=other.url("/Kaleidon-Setup.exe"), readme=self.site.url("/readme.txt"),
                   document=(self.site.url("/notes.txt"), b"the maker's notes"))
        self.site.serve("/notes.txt", ok(b"the attacker's notes", "text/plain"))
        self.site.serve("/readme.txt", ok("\ufeffKaléidon – UTF-8".encode("utf-8"), "text/plain"))
        other.serve("/Kaleidon-Setup.exe", endless(self.package))
        documents = read_me_documents("ReadMe.txt")
        self.open_update()
        self.check()
        self.answer("Update Available", YES)
        self.assertEqual(self.answer("Error"), "Could not retrieve the read-me: The downloaded read-me's SHA-256 "
                                               "does not match the update's")
        read_me = [c for c in self.all_controls("Read Me") if c["class"] == "Edit"]
        self.assertEqual(read_me[0]["text"], "Kaléidon – UTF-8")
        probe("click", "Read Me", kaleidon.IDOK)
        # A package that never ends is cut off at its signed size.
        self.answer("Update Available", YES)
        self.save_as("Kaleidon-Setup")
        self.assertEqual(self.answer("Download Error"), download_error("Document larger than %d bytes"
                                                                       % len(self.package)))
        self.done()
        self.assertEqual(self.left_in_dir(), [])
        self.assertEqual(read_me_documents("ReadMe.txt"), documents)
        self.assertTrue(all(self.site.authorizations()), self.site.authorizations())
        self.assertEqual(other.authorizations(), [None])

        # A status below 200 is no answer; a page that trickles ends within
        # four times the time limit.
        reg_set("Update URL", self.site.url("/kaleidon.htm"))
        self.site.serve("/kaleidon.htm", raw(b"HTTP/1.0 101 Switching Protocols\r\n\r\n" + b"<HTML></HTML>"))
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Kaleidon"), "101")
        self.assertEqual(self.answer("Connection Error"), connection_error("Switching Protocols"))
        self.done()
        self.site.serve("/kaleidon.htm", trickles(b"HTTP/1.0 200 OK\r\n\r\n<HTML>", 0.3))
        self.open_update()
        started = time.time()
        self.check()
        self.assertEqual(self.answer("Kaleidon", seconds=60), "404")
        self.assertLess(time.time() - started, 4 * TIME_LIMIT + 2 * SLACK)
        self.assertEqual(self.answer("Connection Error"), connection_error("Connection timed out"))
        self.done()

    def test_a_build_without_a_key_reports_an_update_but_never_downloads_it(self):
        reg_set("Update Verify", 1)
        self.offer(newer(self.version))
        self.start()
        self.open_update()
        self.check()
        self.assertEqual(self.answer("Update Available"),
                         "Current version is %s.\rVersion %s is available.\rThis copy of Kaleidon cannot verify "
                         "updates, so it does not download them." % (self.version, newer(self.version)))
        self.done()
        self.assertEqual(self.site.requested(), ["/kaleidon.htm"])


def read_me_documents(name):
    """The read-me documents of that name in the tests' prefix."""
    return glob.glob(kaleidon.prefix_path(r"C:\users") + "/*/**/KaleidonReadMe*/" + name, recursive=True)


def xdotool_search(name):
    return subprocess.run(["xdotool", "search", "--name", name], capture_output=True, text=True).stdout.split()


if __name__ == "__main__":
    kaleidon.main()
