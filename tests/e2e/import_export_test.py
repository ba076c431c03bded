#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""End-to-end tests of --import and --export, without a display.

Usage: import_export_test.py PATH_TO_OMBREL SOURCE_DIR

The real program runs in scratch data directories. A KeePassXC database is
built by the real keepassxc-cli from a KeePass XML file written here, its CSV
export is imported, and passwords.dat is decoded here, independently of the
program, and compared field for field. The exports are read back with
Python's csv module. The master password is typed on a pseudo-terminal or
given on standard input.
"""

import base64
import csv
import fcntl
import hashlib
import io
import os
import pty
import select
import shutil
import stat
import subprocess
import sys
import tempfile
import termios
import time
import unittest
import uuid
from urllib.parse import urlsplit
from xml.sax.saxutils import escape

PROGRAM = os.path.abspath(sys.argv[1])
SOURCE_DIR = os.path.abspath(sys.argv[2])
LAUNCHER = os.path.join(SOURCE_DIR, "scripts", "launch-ombrel")
SANITIZED = bool(os.environ.get("OMBREL_SANITIZED"))

NO_PASSWORD = b"efgh\r\n"
WRONG_PASSWORD = "The password you have entered is incorrect.\n"
TAMPERED = "The password file has been erased or tampered with! This program will now close!\n"

# The logins put into KeePassXC, in the order of the database. Each is
# (groups, title, user, password, url, notes, otp).
OTP = "otpauth://totp/Bank:bob?secret=JBSWY3DPEHPK3PXP&period=30&digits=6&issuer=Bank"
LOGINS = [
    (["Finance", "Banks"], "Bank", "bob", 'pa"ss', "https://bank.example/login",
     "line one, with a comma\nline two", OTP),
    (["Finance", "Banks"], "Joint account", "joint", "j0int", "https://bank.example/login", "", ""),
    (["Finance"], "intranet", "", "x", "http://intranet/", "", ""),
    (["Personal"], "No address", "carol", "\u20acuro\u2013dash", "", "", ""),
    ([], "Shop", "dave", "p,w;", "https://shop.example/", "\u20ac and \u2013 in notes", ""),
]


# --- the data files, read and written independently of the program --------


def shift(text):
    return bytes(c + 100 for c in text.encode("cp1252"))


def unshift(stored):
    return bytes(c - 100 for c in stored).decode("cp1252")


def entries(data_dir):
    """The records of passwords.dat: [name, user, password, notes], an unset
    field as None."""
    path = os.path.join(data_dir, "passwords.dat")
    if not os.path.exists(path):
        return []
    with open(path, "rb") as f:
        raw = f.read()
    assert raw.endswith(b"\r\n"), raw[-20:]
    out = []
    for line in raw[:-2].split(b"\r\n"):
        fields = line.split(b",")
        assert len(fields) == 4, line
        out.append([unshift(f[1:-1]) if f.startswith(b'"') else None for f in fields])
    return out


def comparable(text):
    text = text.strip().lower()
    return text[4:] if text.startswith("www.") else text


def site_url(name):
    """The URL Open Site hands the browser, as its documentation says."""
    address = name.strip().replace(" ", "%20")
    if address.lower().startswith(("http://", "https://")):
        return address
    return "http://" + address + "/"


def keepass_xml(logins):
    """A KeePass XML file with the logins in nested groups."""
    def new_uuid():
        return base64.b64encode(uuid.uuid4().bytes).decode()

    def entry(title, user, password, url, notes, otp):
        strings = [("Title", title), ("UserName", user), ("Password", password), ("URL", url),
                   ("Notes", notes)] + ([("otp", otp)] if otp else [])
        body = "".join(f"<String><Key>{k}</Key><Value>{escape(v)}</Value></String>"
                       for k, v in strings)
        return f"<Entry><UUID>{new_uuid()}</UUID>{body}</Entry>"

    def group(name, path):
        here = "".join(entry(*login[1:]) for login in logins if login[0] == path)
        children = sorted({tuple(login[0][:len(path) + 1]) for login in logins
                           if len(login[0]) > len(path) and login[0][:len(path)] == path})
        inner = "".join(group(child[-1], list(child)) for child in children)
        return f"<Group><UUID>{new_uuid()}</UUID><Name>{escape(name)}</Name>{here}{inner}</Group>"

    return ('<?xml version="1.0" encoding="utf-8" standalone="yes"?>\n'
            f"<KeePassFile><Root>{group('Root', [])}</Root></KeePassFile>\n")


class Scratch(unittest.TestCase):
    def setUp(self):
        self.root = os.path.realpath(tempfile.mkdtemp(prefix="ombrel-io-"))
        self.addCleanup(shutil.rmtree, self.root)
        self.home = self.path("home")
        os.makedirs(self.home)

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def data_dir(self, name="data", pw=NO_PASSWORD):
        path = self.path(name)
        os.makedirs(path)
        if pw is not None:
            with open(os.path.join(path, "pw.dat"), "wb") as f:
                f.write(pw)
        return path

    def env(self, **extra):
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "LANG": "C.UTF-8"}
        env.update(extra)
        return env

    def ombrel(self, data_dir, *arguments, stdin=b"", umask=0o022, **env):
        """Runs the program in `data_dir`; stdout and stderr as bytes."""
        return subprocess.run([PROGRAM, *arguments], cwd=data_dir, env=self.env(**env),
                              input=stdin, capture_output=True, umask=umask, timeout=60)

    def write(self, name, text):
        with open(self.path(name), "w", encoding="utf-8", newline="") as f:
            f.write(text)
        return self.path(name)


class KeePassXCTest(Scratch):
    """A CSV written by the real KeePassXC, imported field for field, and
    every export read back by an independent reader."""

    def keepassxc_csv(self):
        xml = self.write("logins.xml", keepass_xml(LOGINS))
        database = self.path("logins.kdbx")
        env = self.env()
        run = subprocess.run(["keepassxc-cli", "import", "-p", "-t", "100", xml, database],
                             input="pw\npw\n", env=env, capture_output=True, text=True, timeout=120)
        self.assertEqual(run.returncode, 0, run.stderr)
        run = subprocess.run(["keepassxc-cli", "export", "-q", "-f", "csv", database],
                             input=b"pw\n", env=env, capture_output=True, timeout=120)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout

    def expected(self, csv_text):
        """The records the import must write, in the CSV's order, and its
        report lines for the renamed ones, by the rules of the import applied
        here to the logins as they were made."""
        by_title = {login[1]: login for login in LOGINS}
        reader = csv.reader(io.StringIO(csv_text.decode("utf-8"), newline=""))
        header = next(reader)
        records, renamed, names = [], [], set()
        while True:
            start = reader.line_num + 1  # the line the row starts on
            try:
                row = dict(zip(header, next(reader)))
            except StopIteration:
                break
            _, title, user, password, url, notes, otp = by_title[row["Title"]]
            name = url.strip() if url.strip() else title
            if url and site_url(title) == url.strip():
                name = title
            if name in names:  # a second account on the address
                scheme = "https://" if name.startswith("https://") else ""
                new_name = scheme + user + "@" + name[len(scheme):]
                renamed.append(f'Renamed "{name}" (line {start}) to "{new_name}": the name is '
                               "taken by another login.")
                name = new_name
            names.add(name)
            # A title that says more than the name and the address heads the notes.
            host = urlsplit(url if "://" in url else "http://" + url).hostname or ""
            titled = url.strip() and comparable(title) not in ("", comparable(name),
                                                                comparable(host))
            lines = ["Title: " + title.strip()] if titled else []
            lines += [notes] if notes else []
            lines += ["TOTP: " + otp] if otp else []
            records.append([name, user or None, password or None,
                            "\n".join(lines).replace("\n", "\r\n")])
        self.assertEqual(len(records), len(LOGINS))
        return records, renamed

    def test_keepassxc_export_is_imported_and_every_export_reads_back(self):
        exported = self.keepassxc_csv()
        source = self.path("keepassxc.csv")
        with open(source, "wb") as f:
            f.write(exported)
        records, renamed = self.expected(exported)
        data = self.data_dir()
        run = self.ombrel(data, "--import", source)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.stdout.decode().splitlines(), [
            "Columns left out, as Ombrel has no place for them: Group, Icon, Last Modified, "
            "Created.",
            *renamed,
            f"Imported 5 logins from {source} (KeePassXC): 1 renamed, 0 already there, "
            "0 skipped.",
        ])
        stored = entries(data)
        self.assertEqual(stored, records)
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(data, "passwords.dat")).st_mode), 0o600)

        # Importing the same file again adds nothing.
        again = self.ombrel(data, "--import", source)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn(b": 0 renamed, 5 already there, 0 skipped.", again.stdout)
        self.assertEqual(entries(data), stored)

        self.check_exports(data, stored)

    def check_exports(self, data, stored):
        formats = {
            "keepassxc": ["Group", "Title", "Username", "Password", "URL", "Notes"],
            "bitwarden": ["folder", "favorite", "type", "name", "notes", "fields", "reprompt",
                          "login_uri", "login_username", "login_password", "login_totp"],
            "chrome": ["name", "url", "username", "password", "note"],
        }
        title = {"keepassxc": "Title", "bitwarden": "name", "chrome": "name"}
        url = {"keepassxc": "URL", "bitwarden": "login_uri", "chrome": "url"}
        user = {"keepassxc": "Username", "bitwarden": "login_username", "chrome": "username"}
        password = {"keepassxc": "Password", "bitwarden": "login_password", "chrome": "password"}
        notes = {"keepassxc": "Notes", "bitwarden": "notes", "chrome": "note"}
        for fmt, header in formats.items():
            with self.subTest(format=fmt):
                target = self.path(f"export-{fmt}.csv")
                run = self.ombrel(data, "--export", target, "--format", fmt, umask=0)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertEqual(run.stdout, b"")
                self.assertIn(b"plain text", run.stderr)
                self.assertEqual(stat.S_IMODE(os.stat(target).st_mode), 0o600)
                with open(target, "rb") as f:
                    raw = f.read()
                text = raw.decode("utf-8")  # UTF-8, and no byte-order mark
                self.assertFalse(text.startswith("\ufeff"))
                rows = list(csv.reader(io.StringIO(text, newline="")))
                self.assertEqual(rows[0], header)
                # Every field quoted, quotes doubled, LF after every line.
                requoted = io.StringIO()
                csv.writer(requoted, quoting=csv.QUOTE_ALL, lineterminator="\n").writerows(rows)
                self.assertEqual(requoted.getvalue(), text)
                records = [dict(zip(header, row)) for row in rows[1:]]
                self.assertEqual(len(records), len(stored))
                for record, (name, user_name, pw, note) in zip(records, stored):
                    self.assertEqual(record[title[fmt]], name)
                    self.assertEqual(record[url[fmt]], site_url(name) if name.strip() else "")
                    self.assertEqual(record[user[fmt]], user_name or "")
                    self.assertEqual(record[password[fmt]], pw or "")
                    self.assertEqual(record[notes[fmt]], (note or "").replace("\r\n", "\n"))
                if fmt == "keepassxc":
                    self.assertEqual({r["Group"] for r in records}, {"Ombrel"})
                if fmt == "bitwarden":
                    self.assertEqual({(r["type"], r["reprompt"]) for r in records}, {("login", "0")})

                # To standard output: the same bytes, and nothing else there.
                piped = self.ombrel(data, "--export", "-", "--format", fmt)
                self.assertEqual(piped.returncode, 0, piped.stderr)
                self.assertEqual(piped.stdout, raw)

        # An existing file is never written over.
        refused = self.ombrel(data, "--export", target)
        self.assertEqual(refused.returncode, 1)
        self.assertIn(target.encode(), refused.stderr)
        with open(target, "rb") as f:
            self.assertEqual(f.read(), raw)


class PasswordTest(Scratch):
    """The master password: on the terminal with echo off, or one line on a
    standard input that is not a terminal."""

    def setUp(self):
        super().setUp()
        self.data = self.data_dir(pw=shift("s3cret \u20ac") + b"\r\n")
        self.csv = self.write("in.csv", "url,username,password\na.example,u,p\n")

    def test_a_line_on_standard_input_with_no_prompt(self):
        run = self.ombrel(self.data, "--import", self.csv, stdin="s3cret \u20ac\n".encode())
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertNotIn(b"Enter the Password", run.stdout + run.stderr)
        self.assertEqual(entries(self.data), [["a.example", "u", "p", ""]])

    def test_a_wrong_or_missing_password_reads_and_writes_nothing(self):
        target = self.path("out.csv")
        for arguments in (["--import", self.csv], ["--export", target]):
            with self.subTest(arguments=arguments):
                wrong = self.ombrel(self.data, *arguments, stdin=b"s3cret\n")
                self.assertEqual((wrong.returncode, wrong.stdout, wrong.stderr),
                                 (1, b"", WRONG_PASSWORD.encode()))
        os.remove(os.path.join(self.data, "pw.dat"))
        missing = self.ombrel(self.data, "--import", self.csv)
        self.assertEqual((missing.returncode, missing.stdout, missing.stderr),
                         (1, b"", TAMPERED.encode()))
        self.assertFalse(os.path.exists(os.path.join(self.data, "passwords.dat")))
        self.assertFalse(os.path.exists(target))

    def test_the_terminal_gets_the_prompt_and_no_echo(self):
        master, slave = pty.openpty()

        def own_terminal():  # the pseudo-terminal becomes the controlling one: /dev/tty
            os.setsid()
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)

        process = subprocess.Popen([PROGRAM, "--export", "-"], cwd=self.data, env=self.env(),
                                   stdin=slave, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   preexec_fn=own_terminal)
        os.close(slave)
        shown = self.read_until(master, b"Enter the Password")
        os.write(master, "s3cret \u20ac\n".encode())
        stdout, stderr = process.communicate(timeout=30)
        shown += self.read_until(master, None)
        os.close(master)
        self.assertEqual(process.returncode, 0, stderr)
        self.assertIn(b"Enter the Password", shown)
        self.assertNotIn(b"s3cret", shown)
        self.assertTrue(stdout.startswith(b'"Group","Title"'), stdout)
        self.assertNotIn(b"Enter the Password", stdout + stderr)

    @staticmethod
    def read_until(fd, wanted, seconds=10):
        out = b""
        deadline = time.time() + seconds
        while time.time() < deadline and (wanted is None or wanted not in out):
            ready, _, _ = select.select([fd], [], [], 0.1 if wanted is None else 0.5)
            if not ready:
                if wanted is None:
                    break
                continue
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                break
            if not chunk:
                break
            out += chunk
        return out


class CommandLineTest(Scratch):
    def test_exit_codes(self):
        data = self.data_dir()
        good = self.write("good.csv", "url,username,password\na.example,u,p\n")
        skipped = self.write("skipped.csv", "url,username,password\n,u,p\nb.example,u,p\n")
        cases = [
            (["--import", good], 0),
            (["--import", skipped], 1),
            (["--import", self.path("missing.csv")], 1),
            (["--export", "-"], 0),
            (["--export", "-", "--format", "firefox"], 2),
        ]
        for arguments, status in cases:
            with self.subTest(arguments=arguments):
                run = self.ombrel(data, *arguments)
                self.assertEqual(run.returncode, status, run.stderr)
                if status == 2:
                    self.assertIn(b"Usage: ombrel", run.stderr)
                    self.assertEqual(run.stdout, b"")
        self.assertEqual([e[0] for e in entries(data)], ["a.example", "b.example"])

    def test_a_relative_file_is_taken_from_where_the_command_was_started(self):
        work = self.path("work")
        os.makedirs(work)
        with open(os.path.join(work, "in.csv"), "w") as f:
            f.write("url,username,password\na.example,u,p\n")
        data = self.data_dir()
        run = self.ombrel(data, "--import", "in.csv", OMBREL_START_DIR=work)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn(b"from in.csv (CSV)", run.stdout)
        run = self.ombrel(data, "--export", "out.csv", OMBREL_START_DIR=work)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertTrue(os.path.exists(os.path.join(work, "out.csv")))
        self.assertFalse(os.path.exists(os.path.join(data, "out.csv")))

        # Through the `ombrel` command, which starts the program in the data
        # directory and passes the arguments on.
        launched = subprocess.run(
            [LAUNCHER, "--export", "launched.csv", "--format", "chrome"], cwd=work,
            env=self.env(OMBREL_BIN=PROGRAM, OMBREL_DATA_DIR=data), capture_output=True,
            timeout=60)
        self.assertEqual(launched.returncode, 0, launched.stderr)
        with open(os.path.join(work, "launched.csv"), "rb") as f:
            self.assertEqual(f.read(), b'"name","url","username","password","note"\n'
                                       b'"a.example","http://a.example/","u","p",""\n')


def peak_memory_kib(command, **options):
    """The largest resident size, in KiB, that `command` reached."""
    probe = ("import resource, subprocess, sys\n"
             "subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)\n"
             "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n")
    run = subprocess.run([sys.executable, "-c", probe, *command], capture_output=True, text=True,
                         timeout=300, **options)
    return int(run.stdout)


class SafeOutputTest(Scratch):
    """What the commands print and write, however hostile the files."""

    def test_a_failed_or_killed_export_leaves_nothing_under_the_name(self):
        data = self.data_dir()
        with open(os.path.join(data, "passwords.dat"), "wb") as f:
            f.write(b'"' + shift("a.example") + b'","' + shift("u") + b'","' + shift("p") +
                    b'",""\r\n')
        for fault in ("fsync:error=EIO", "linkat:error=ENOSPC", "fsync:signal=KILL"):
            with self.subTest(fault=fault):
                folder = self.path(fault.replace(":", "-").replace("=", "-"))
                os.makedirs(folder)
                run = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e",
                                      "inject=" + fault, PROGRAM, "--export",
                                      os.path.join(folder, "out.csv")],
                                     cwd=data, env=self.env(), capture_output=True, timeout=60)
                self.assertNotEqual(run.returncode, 0, run.stderr)
                self.assertNotIn(b"Exported", run.stderr)
                self.assertEqual(os.listdir(folder), [])
        # A retry after the failures is not refused.
        retry = self.ombrel(data, "--export", os.path.join(folder, "out.csv"))
        self.assertEqual(retry.returncode, 0, retry.stderr)

    def test_control_characters_in_files_reach_the_terminal_escaped(self):
        data = self.data_dir()
        crafted = self.write("crafted.csv", "url,username,password,\x1b]2;pwned\x07\n"
                                            "a.example\x1b[2J,u\\v,p,x\na.example\x1b[2J,,q,y\n")
        run = self.ombrel(data, "--import", crafted)
        self.assertEqual(run.returncode, 1, run.stderr)  # the second login clashes
        self.assertNotIn(b"\x1b", run.stdout + run.stderr)
        self.assertIn(b'Skipped "a.example\\x1B[2J" (line 3)', run.stdout)
        self.assertEqual(entries(data), [["a.example\x1b[2J", "u\\v", "p", "\x1b]2;pwned\x07: x"]])

        # Data is raw in a pipe and escaped on a terminal, its row ends kept.
        piped = self.ombrel(data, "--export", "-", "--format", "chrome")
        self.assertIn(b'"a.example\x1b[2J","http://a.example\x1b[2J/","u\\v","p",'
                      b'"\x1b]2;pwned\x07: x"\n', piped.stdout)
        master, slave = pty.openpty()
        shown = subprocess.run([PROGRAM, "--export", "-", "--format", "chrome"], cwd=data,
                               env=self.env(), stdout=slave, stderr=subprocess.PIPE, timeout=60)
        os.close(slave)
        screen = PasswordTest.read_until(master, None)
        os.close(master)
        self.assertEqual(shown.returncode, 0, shown.stderr)
        self.assertIn(b'"a.example\\x1B[2J","http://a.example\\x1B[2J/","u\\\\v","p",'
                      b'"\\x1B]2;pwned\\x07: x"\r\n', screen)

    def test_a_file_without_a_header_is_refused_without_repeating_it(self):
        data = self.data_dir()
        headless = self.write("headless.csv", "bank.example,bob,Secret7pw\n")
        run = self.ombrel(data, "--import", headless)
        self.assertEqual(run.returncode, 1)
        self.assertNotIn(b"Secret7pw", run.stderr)
        self.assertIn(b"the first line has 3 columns and lacks the columns url, username and "
                      b"password", run.stderr)

    @unittest.skipIf(SANITIZED, "sizes and memory under the sanitizers")
    def test_a_huge_file_is_refused_in_bounded_memory_and_words(self):
        data = self.data_dir()
        size = 100 * 1024 * 1024
        huge = self.path("zeros.csv")
        with open(huge, "wb") as f:
            f.truncate(size)  # NUL bytes, no line end
        run = self.ombrel(data, "--import", huge)
        self.assertEqual(run.returncode, 1)
        self.assertLessEqual(len(run.stderr), 4096 + 1)
        small = self.write("small.csv", "url,username,password\na.example,u,p\n")
        baseline = peak_memory_kib([PROGRAM, "--import", small], cwd=self.data_dir("base"))
        peak = peak_memory_kib([PROGRAM, "--import", huge], cwd=data)
        self.assertLessEqual((peak - baseline) * 1024, 4 * size)

    @unittest.skipIf(SANITIZED, "sizes and memory under the sanitizers")
    def test_a_login_too_large_to_store_is_skipped_wherever_it_stands(self):
        data = self.data_dir()
        note = "n" * (65 * 1024 * 1024)
        big = self.write("big.csv", "url,username,password,notes\n"
                                    f"a.example,u,p,\nb.example,u,p,{note}\nc.example,u,p,\n")
        del note
        run = self.ombrel(data, "--import", big)
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertIn(b'Skipped "b.example" (line 3): it is too large to store', run.stdout)
        self.assertEqual([e[0] for e in entries(data)], ["a.example", "c.example"])
        again = self.ombrel(data, "--export", "-")
        self.assertEqual(again.returncode, 0, again.stderr)

class ReadingCommandsTest(Scratch):
    """--list, --show, --report and --check-pwned through the `ombrel`
    command, behind the master password given on standard input."""

    def test_read_report_and_check_for_leaks(self):
        data = self.data_dir(pw=shift("master") + b"\r\n")
        os.chmod(data, 0o700)
        logins = [("webmail.example", "ann", "password"), ("store.example", "bob", "password"),
                  ("http://wiki.example/", "cy", "Tr0ub4dor&3 horse staple"), ("router.local", "", "")]
        with open(os.path.join(data, "passwords.dat"), "wb") as f:
            for name, user, password in logins:
                f.write(b'"' + shift(name) + b'","' + shift(user) + b'","' + shift(password) +
                        b'","' + shift("line 1\r\nline 2") + b'"\r\n')
        leaks = self.write("leaks.txt", "".join(sorted(
            hashlib.sha1(p.encode()).hexdigest().upper() + f":{n}\r\n"
            for p, n in [("password", 9545824), ("123456", 1), ("qwerty", 2)])))

        def ombrel(*arguments):
            return subprocess.run([LAUNCHER, *arguments], input=b"master\n", capture_output=True,
                                  env=self.env(OMBREL_BIN=PROGRAM, OMBREL_DATA_DIR=data),
                                  timeout=60)

        listed = ombrel("--list")
        self.assertEqual((listed.returncode, listed.stdout),
                         (0, "".join(login[0] + "\n" for login in logins).encode()))
        shown = ombrel("--show", "store.example")
        self.assertEqual(shown.stdout, b"Web Site: store.example\nUser Name: bob\n"
                                       b"Password: password\nNotes:\n  line 1\n  line 2\n")
        self.assertEqual(ombrel("--show=webmail.example", "--field", "url").stdout,
                         b"http://webmail.example/\n")
        missing = ombrel("--show", "nowhere.example")
        self.assertEqual((missing.returncode, missing.stderr),
                         (1, b"No entry is named nowhere.example.\n"))

        report = ombrel("--report")
        self.assertEqual(report.returncode, 3, report.stderr)
        self.assertNotIn(b"password\n", report.stdout.replace(b"passwords", b""))
        self.assertIn(b"Reused passwords (1 group):\n  webmail.example, store.example\n",
                      report.stdout)
        self.assertIn(b"Empty passwords (1):\n  router.local\n", report.stdout)
        self.assertIn(b"Sent without encryption (1):\n  http://wiki.example/\n", report.stdout)

        pwned = ombrel("--check-pwned", leaks)
        self.assertEqual(pwned.returncode, 3, pwned.stderr)
        self.assertEqual(pwned.stdout, b"webmail.example: seen 9545824 times\n"
                                       b"store.example: seen 9545824 times\n"
                                       b"2 of 3 passwords found in " + leaks.encode() + b".\n")

        wrong = subprocess.run([LAUNCHER, "--list"], input=b"nope\n", capture_output=True,
                               env=self.env(OMBREL_BIN=PROGRAM, OMBREL_DATA_DIR=data), timeout=60)
        self.assertEqual((wrong.returncode, wrong.stdout), (1, b""))

if __name__ == "__main__":
    if not shutil.which("keepassxc-cli"):
        print("keepassxc-cli is missing (Debian package keepassxc)", file=sys.stderr)
        sys.exit(1)
    os.environ.pop("DISPLAY", None)
    os.environ.pop("WAYLAND_DISPLAY", None)
    unittest.main(argv=sys.argv[:1], verbosity=2)
