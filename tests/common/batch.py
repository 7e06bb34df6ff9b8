"""A companion program kept running in its batch mode (RunBatch in
tools/ToolMain.h): one process answers many command lines. Under Wine, or
natively under the sanitizers with their leak check at exit, a process start
costs more than most of the calls the tests make."""

import os
import re
import select
import subprocess
import tempfile

UNESCAPED = {"\\\\": "\\", "\\n": "\n", "\\r": "\r", "\\t": "\t"}


def unescape(text):
    return re.sub(r"\\[\\nrt]", lambda m: UNESCAPED[m.group(0)], text)


class Batch:
    def __init__(self, command):
        """command: the program's command line in batch mode."""
        self.command = command
        self.process = None
        self.errors = None
        self.pending = b""

    def start(self):
        # Its own error output goes to a file: a crash's report is read from
        # there, and no pipe is left for a Wine desktop process to inherit.
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen(self.command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=self.errors)
        self.pending = b""

    def run(self, args, timeout=120):
        """(exit code, standard output, standard error) of one command line;
        a program that ended on the way gives exit code -1 and its report."""
        assert not any(c in a for a in args for c in "\t\n\r"), args
        if self.process is None or self.process.poll() is not None:
            self.start()
        try:
            self.process.stdin.write(("\t".join(args) + "\n").encode())
            self.process.stdin.flush()
            line = self.read_line(timeout)
        except BrokenPipeError:
            line = None
        if line is None:
            return -1, "", self.ended()
        code, out, err = line.decode("utf-8", errors="replace").rstrip("\r\n").split("\t")
        return int(code), unescape(out), unescape(err)

    def read_line(self, timeout):
        """The next line, or None once the program has ended."""
        fd = self.process.stdout.fileno()
        while b"\n" not in self.pending:
            if not select.select([fd], [], [], timeout)[0]:
                self.process.kill()
                raise AssertionError("%s: no answer within %d s" % (" ".join(self.command), timeout))
            chunk = os.read(fd, 65536)
            if not chunk:
                return None
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line

    def ended(self):
        """Waits for the program's end; what it wrote to standard error."""
        self.process.stdin.close()
        self.process.wait(timeout=60)
        self.process.stdout.close()
        self.errors.seek(0)
        text = self.errors.read().decode("utf-8", errors="replace")
        self.errors.close()
        self.process = None
        return text

    def close(self):
        """Ends the program; (its exit code, its error output), or (0, "")
        when it was never started."""
        if self.process is None:
            return 0, ""
        process = self.process
        text = self.ended()
        return process.returncode, text
