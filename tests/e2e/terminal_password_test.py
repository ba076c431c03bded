#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The master password of --import and --export, typed on real terminals: an
interactive bash in tmux (Ctrl+Z and fg are its own job control) and a
pseudo-terminal that is not the controlling one.

Usage: terminal_password_test.py PATH_TO_OMBREL
"""

import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_test import pw_file  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1])

PASSWORD = "s3cret \u20ac"
PROMPT = "Enter the Password"
HEADER = b'"Group","Title","Username","Password","URL","Notes"\n'


class DataDir(unittest.TestCase):
    def setUp(self):
        self.data = os.path.realpath(tempfile.mkdtemp(prefix="ombrel-pw-"))
        self.addCleanup(shutil.rmtree, self.data)
        self.set_password(PASSWORD)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.data,
                    "LANG": "C.UTF-8", "TERM": "xterm"}

    def set_password(self, plain):
        with open(os.path.join(self.data, "pw.dat"), "wb") as f:
            f.write(pw_file(plain))

    def ombrel(self, *arguments, **stdin):
        return subprocess.run([PROGRAM, *arguments], cwd=self.data, env=self.env,
                              capture_output=True, timeout=10, **stdin)


class TerminalTest(DataDir):
    def test_a_stop_and_fg_ask_afresh_with_echo_off(self):
        tmux = ["tmux", "-L", f"ombrel-test-{os.getpid()}", "-f", "/dev/null"]
        subprocess.run(tmux + ["new-session", "-d", "-x", "160", "-y", "40", "-c", self.data,
                               "bash --norc --noprofile -i"], env=self.env, check=True)
        self.addCleanup(subprocess.run, tmux + ["kill-server"], capture_output=True)

        def keys(*keys):
            subprocess.run(tmux + ["send-keys", *keys], check=True)

        def wait_for(text, count=1):  # returns the screen that shows it
            deadline = time.time() + 10
            while True:
                screen = subprocess.run(tmux + ["capture-pane", "-p", "-S", "-"], check=True,
                                        capture_output=True, text=True).stdout
                if screen.count(text) >= count:
                    return screen
                self.assertLess(time.time(), deadline, f"{text!r} not shown {count}x:\n{screen}")
                time.sleep(0.05)

        keys("trap '' INT", "Enter")  # inherited as ignored
        keys(f"{PROGRAM} --export - > out.csv", "Enter")
        wait_for(PROMPT)
        keys("-l", "s3c")  # dropped by the stop
        keys("C-z")
        wait_for("Stopped")
        keys("fg", "Enter")
        wait_for(PROMPT, count=2)
        keys("C-c")  # still ignored: nothing happens
        keys("-l", PASSWORD)
        keys("Enter")
        keys("echo exit-$?-status", "Enter")
        screen = wait_for("-status", count=2)  # the command, then what it printed
        self.assertIn("exit-0-status", screen)
        self.assertNotIn("s3c", screen)
        with open(os.path.join(self.data, "out.csv"), "rb") as f:
            self.assertEqual(f.read(), HEADER)

    def test_without_a_controlling_terminal_the_one_on_standard_input_is_quiet(self):
        master, slave = pty.openpty()
        process = subprocess.Popen([PROGRAM, "--export", "-"], cwd=self.data, env=self.env,
                                   stdin=slave, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   start_new_session=True)  # setsid: no /dev/tty
        os.close(slave)
        shown = read_shown(master, PROMPT.encode())
        os.write(master, (PASSWORD + "\n").encode())
        stdout, stderr = process.communicate(timeout=10)
        shown += read_shown(master)
        os.close(master)
        self.assertEqual((process.returncode, stdout), (0, HEADER), stderr)
        self.assertIn(PROMPT.encode(), shown)
        self.assertNotIn(b"s3cret", shown)


def read_shown(fd, wanted=None):
    """What the terminal shows, up to `wanted` or until it falls quiet."""
    out = b""
    while (wanted is None or wanted not in out) and select.select([fd], [], [], 10)[0]:
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # the program has ended
            break
        if not chunk:
            break
        out += chunk
    return out


class StandardInputTest(DataDir):
    def test_a_password_line_is_at_most_4096_bytes(self):
        longest = "x" * 4096
        self.set_password(longest)
        accepted = self.ombrel("--export", "-", input=(longest + "\r\n").encode())
        self.assertEqual((accepted.returncode, accepted.stdout), (0, HEADER), accepted.stderr)
        with open("/dev/zero", "rb") as zero:  # an endless line ends at once
            for name, stdin in [("4097", {"input": (longest + "x\n").encode()}),
                                ("endless", {"stdin": zero})]:
                with self.subTest(name):
                    run = self.ombrel("--export", "-", **stdin)
                    self.assertEqual((run.returncode, run.stdout, run.stderr),
                                     (1, b"", b"The password line is longer than 4096 bytes.\n"))


class PasswordFileTest(DataDir):
    def test_an_unreadable_one_lets_no_answer_in(self):
        # Reading a process's memory at address 0 fails with EIO, even as root.
        os.remove(os.path.join(self.data, "pw.dat"))
        os.symlink("/proc/self/mem", os.path.join(self.data, "pw.dat"))
        run = self.ombrel("--export", "-", input=b"\n")
        self.assertEqual((run.returncode, run.stdout.decode(), run.stderr.decode()), (
            1, "", f"The password file could not be read:\n{self.data}/pw.dat\n\n"
                   "Input/output error.\n\nThis program will end now.\n"))


if __name__ == "__main__":
    if not shutil.which("tmux"):
        print("tmux is missing (Debian package tmux)", file=sys.stderr)
        sys.exit(1)
    unittest.main(argv=sys.argv[:1], verbosity=2)
