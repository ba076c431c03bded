#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Tests of the launcher and of the installed layout.

Usage: launcher_test.py SOURCE_DIR BUILD_DIR CMAKE

The launcher is run with a stand-in program that records where and how it was
started, so no display is needed.
"""

import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR, BUILD_DIR, CMAKE = sys.argv[1:4]
LAUNCHER = os.path.join(SOURCE_DIR, "scripts", "launch-ombrel")
SEEDS = os.path.join(SOURCE_DIR, "data")


def mode(path):
    return stat.S_IMODE(os.stat(path).st_mode)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)


class LauncherTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="ombrel-launcher-")
        self.addCleanup(shutil.rmtree, self.root)
        self.record = os.path.join(self.root, "started.txt")
        self.program = os.path.join(self.root, "fake-ombrel")
        write(
            self.program,
            f'#!/bin/sh\npwd > "{self.record}"\necho "$#" >> "{self.record}"\n'
            f'[ "$1" = --version ] && echo "ombrel 9.9"\nexit 7\n'.encode(),
        )
        os.chmod(self.program, 0o755)
        self.data = os.path.join(self.root, "home", "data")

    def launch(self, *arguments, launcher=LAUNCHER, **env):
        environment = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": os.path.join(self.root, "home"),
            "OMBREL_BIN": self.program,
            "OMBREL_DATA_DIR": self.data,
        }
        environment.update(env)
        environment = {k: v for k, v in environment.items() if v is not None}
        return subprocess.run([launcher, *arguments], env=environment, capture_output=True,
                              text=True)

    def started_in(self):
        cwd, argc = read(self.record).decode().split()
        self.assertEqual(argc, "0", "the program takes no arguments")
        return cwd

    def test_first_start_seeds_a_private_data_directory(self):
        result = self.launch()
        self.assertEqual(result.returncode, 7, result.stderr)  # the program's own status
        self.assertEqual(self.started_in(), self.data)
        self.assertEqual(mode(self.data), 0o700)
        for name in ("pw.dat", "pwclr.dat", "help.htm"):
            target = os.path.join(self.data, name)
            self.assertEqual(read(target), read(os.path.join(SEEDS, name)), name)
            self.assertEqual(mode(target), 0o600, name)
        self.assertEqual(read(os.path.join(self.data, "pw.dat")), b"efgh\r\n")
        self.assertEqual(read(os.path.join(self.data, "pwclr.dat")), b" 16777215 \r\n")

    def test_existing_files_are_never_replaced(self):
        os.makedirs(self.data)
        own = {"pw.dat": b"\xd7\xc9\xc7\xd6\xc9\xd8\r\n", "pwclr.dat": b" 255 \r\n"}
        for name, content in own.items():
            write(os.path.join(self.data, name), content)
        write(os.path.join(self.data, "passwords.dat"), b'"\xc9",,,""\r\n')
        self.launch()
        for name, content in own.items():
            self.assertEqual(read(os.path.join(self.data, name)), content, name)
        self.assertTrue(os.path.exists(os.path.join(self.data, "help.htm")))

    def test_lost_password_file_is_not_recreated_beside_entries(self):
        os.makedirs(self.data)
        write(os.path.join(self.data, "passwords.dat"), b'"\xc9",,,""\r\n')
        self.launch()
        self.assertFalse(os.path.exists(os.path.join(self.data, "pw.dat")))
        self.assertTrue(os.path.exists(os.path.join(self.data, "pwclr.dat")))

    def test_default_location_follows_xdg_data_home(self):
        xdg = os.path.join(self.root, "xdg")
        self.launch(OMBREL_DATA_DIR=None, XDG_DATA_HOME=xdg)
        self.assertEqual(self.started_in(), os.path.join(xdg, "ombrel"))
        self.launch(OMBREL_DATA_DIR=None)
        self.assertEqual(
            self.started_in(), os.path.join(self.root, "home", ".local", "share", "ombrel")
        )

    def test_an_existing_folder_keeps_its_mode_and_a_readable_one_is_named(self):
        for folder_mode, warned in ((0o755, True), (0o750, True), (0o711, False), (0o700, False)):
            with self.subTest(mode=oct(folder_mode)):
                os.makedirs(self.data, exist_ok=True)
                os.chmod(self.data, folder_mode)
                result = self.launch()
                self.assertEqual(mode(self.data), folder_mode)
                self.assertEqual("other users can read" in result.stderr, warned, result.stderr)
                self.assertEqual(self.started_in(), self.data)

    def test_options_are_answered_before_anything_is_made(self):
        usage = "Usage: ombrel [--help | --version]\n"
        for arguments, status, stdout, stderr in (
            (["--help"], 0, usage, ""),
            (["-h", "--version"], 0, usage, ""),
            (["--version"], 7, "ombrel 9.9\n", ""),  # the program's own answer
            (["--bogus"], 2, "", "ombrel: unrecognized option '--bogus'\n" + usage),
            (["--", "x"], 2, "", "ombrel: unexpected argument 'x'\n" + usage),
        ):
            with self.subTest(arguments=arguments):
                result = self.launch(*arguments)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertTrue(result.stdout.startswith(stdout), result.stdout)
                self.assertEqual(result.stderr, stderr)
                self.assertFalse(os.path.exists(self.data))


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="ombrel-install-")
        subprocess.run(
            [CMAKE, "--install", BUILD_DIR, "--prefix", cls.prefix],
            check=True,
            stdout=subprocess.DEVNULL,
        )

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_installed_command_seeds_from_the_installation(self):
        # Replace the installed program with a recorder, then run the command
        # from bin/: it finds both relative to itself, in any prefix.
        record = self.path("started.txt")
        program = self.path("libexec", "ombrel", "ombrel")
        self.assertTrue(os.access(program, os.X_OK))
        write(program, f'#!/bin/sh\npwd > "{record}"\n'.encode())
        data = self.path("user-data")
        env = {"PATH": "/usr/bin:/bin", "HOME": self.prefix, "OMBREL_DATA_DIR": data}
        launcher = self.path("bin", "ombrel")
        result = subprocess.run([launcher], env=env, capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(read(record).decode().strip(), data)
        for name in ("pw.dat", "pwclr.dat", "help.htm"):
            self.assertEqual(
                read(os.path.join(data, name)),
                read(self.path("share", "ombrel", "data", name)),
                name,
            )


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
