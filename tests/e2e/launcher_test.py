#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Tests of the launcher and of the installed layout.

Usage: launcher_test.py SOURCE_DIR BUILD_DIR CMAKE

The launcher is run with a stand-in program that records where and how it was
started, so no display is needed.
"""

import json
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
        self.root = os.path.realpath(tempfile.mkdtemp(prefix="ombrel-launcher-"))
        self.addCleanup(shutil.rmtree, self.root)
        self.record = os.path.join(self.root, "started.json")
        self.program = os.path.join(self.root, "fake-ombrel")
        write(
            self.program,
            "#!/usr/bin/python3\nimport json, os, sys\n"
            f"with open({self.record!r}, 'w') as f:\n"
            "    json.dump([os.getcwd(), os.environ.get('OMBREL_START_DIR'), sys.argv[1:]], f)\n"
            "sys.exit(7)\n".encode(),
        )
        os.chmod(self.program, 0o755)
        self.home = os.path.join(self.root, "home")
        self.data = os.path.join(self.home, "data")
        self.work = os.path.join(self.root, "work")  # where the command is typed
        os.makedirs(self.work)

    def launch(self, *arguments, launcher=LAUNCHER, **env):
        environment = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "OMBREL_BIN": self.program,
            "OMBREL_DATA_DIR": self.data,
        }
        environment.update(env)
        environment = {k: v for k, v in environment.items() if v is not None}
        if os.path.exists(self.record):
            os.remove(self.record)
        return subprocess.run([launcher, *arguments], env=environment, cwd=self.work,
                              capture_output=True, text=True)

    def started(self):
        """The program's working directory, OMBREL_START_DIR and arguments."""
        with open(self.record) as f:
            return json.load(f)

    def test_first_start_seeds_a_private_data_directory(self):
        result = self.launch()
        self.assertEqual(result.returncode, 7, result.stderr)  # the program's own status
        self.assertEqual(result.stderr, "")
        self.assertEqual(self.started()[0], self.data)
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

    def test_arguments_and_the_starting_folder_reach_the_program_unchanged(self):
        arguments = ["--import", "my file.csv", "", "--", "--bogus", "-h", "--version", "a\nb"]
        result = self.launch(*arguments, OMBREL_START_DIR="/elsewhere")
        self.assertEqual((result.returncode, result.stdout, result.stderr), (7, "", ""))
        self.assertEqual(self.started(), [self.data, self.work, arguments])

    def test_the_data_directory_is_found_from_the_starting_folder_alone(self):
        elsewhere = os.path.join(self.root, "elsewhere")
        os.makedirs(os.path.join(elsewhere, "rel"))
        xdg = os.path.join(self.root, "xdg")
        default = os.path.join(self.home, ".local", "share", "ombrel")
        for env, expected in (
            ({"XDG_DATA_HOME": xdg}, os.path.join(xdg, "ombrel")),
            ({}, default),
            ({"XDG_DATA_HOME": "xdg"}, default),  # relative: ignored
            ({"OMBREL_DATA_DIR": "rel", "CDPATH": elsewhere}, os.path.join(self.work, "rel")),
            ({"OMBREL_DATA_DIR": "-", "OLDPWD": elsewhere}, os.path.join(self.work, "-")),
        ):
            with self.subTest(env=env):
                for folder in (self.home, self.work, xdg):
                    shutil.rmtree(folder, ignore_errors=True)
                os.makedirs(self.work)
                result = self.launch(**{"OMBREL_DATA_DIR": None, **env})
                self.assertEqual(result.returncode, 7, result.stderr)
                self.assertEqual(self.started()[:2], [expected, self.work])
                self.assertTrue(os.path.isfile(os.path.join(expected, "pw.dat")))
                made_here = [os.path.basename(expected)] if expected.startswith(self.work) else []
                self.assertEqual(os.listdir(self.work), made_here)
                self.assertEqual(os.listdir(os.path.join(elsewhere, "rel")), [])

    def test_a_dangling_link_is_left_alone_and_named(self):
        missing = os.path.join(self.root, "missing")
        for name, warned, seeded in (
            ("pwclr.dat", True, {"pw.dat", "help.htm"}),
            ("pw.dat", True, {"pwclr.dat", "help.htm"}),
            # Entries perhaps on a drive not mounted yet still keep pw.dat out.
            ("passwords.dat", False, {"pwclr.dat", "help.htm"}),
        ):
            with self.subTest(link=name):
                shutil.rmtree(self.data, ignore_errors=True)
                os.makedirs(self.data, mode=0o700)
                link = os.path.join(self.data, name)
                os.symlink(os.path.join(missing, name), link)
                result = self.launch()
                self.assertEqual(result.returncode, 7, result.stderr)
                self.assertEqual(os.readlink(link), os.path.join(missing, name))
                self.assertFalse(os.path.exists(missing))
                self.assertEqual(set(os.listdir(self.data)), seeded | {name})
                self.assertEqual(result.stderr.startswith(f"ombrel: warning: {link} "), warned,
                                 result.stderr)

    def test_an_existing_folder_keeps_its_mode_and_others_access_is_named(self):
        os.makedirs(self.data)
        for folder_mode, owner, warning in (
            (0o744, None, "chmod 700"),
            (0o733, None, "chmod 700"),
            (0o750, None, "chmod 700"),
            (0o711, None, None),
            (0o700, 65534, "belongs to another user"),
            (0o700, None, None),
        ):
            with self.subTest(mode=oct(folder_mode), owner=owner):
                if owner is not None and os.geteuid() != 0:
                    self.skipTest("giving the folder away needs root")
                os.chmod(self.data, folder_mode)
                os.chown(self.data, os.geteuid() if owner is None else owner, -1)
                result = self.launch()
                self.assertEqual(result.returncode, 7, result.stderr)
                self.assertEqual(mode(self.data), folder_mode)
                if warning is None:
                    self.assertEqual(result.stderr, "")
                else:
                    self.assertIn(warning, result.stderr)
                    self.assertIn(self.data, result.stderr)
                    self.assertRegex(result.stderr, r"\A(ombrel: warning: .*\n)+\Z")


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
