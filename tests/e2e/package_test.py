#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Ombrel developers
"""Tests of the Debian package that `cpack -G DEB` makes.

Usage: package_test.py PACKAGE_DIR VERSION [TEST_CLASS ...]

The package is unpacked into a scratch root with `dpkg -x`, so nothing is
installed on the machine: its `ombrel` answers options without a display and
opens the window on a fresh data home under Xvfb, and the package passes
lintian, desktop-file-validate and appstreamcli.
"""

import glob
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_test import MAIN_TITLE, App, XServer, check_tools  # noqa: E402

PACKAGE_DIR, VERSION = sys.argv[1:3]
APP_ID = "org.ombrel.Ombrel"


def the_package():
    found = glob.glob(os.path.join(PACKAGE_DIR, "ombrel_*.deb"))
    if len(found) != 1:
        raise unittest.SkipTest(f"expected one .deb in {PACKAGE_DIR}, found {found}")
    return found[0]


class Unpacked(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = the_package()
        cls.root = tempfile.mkdtemp(prefix="ombrel-deb-")
        subprocess.run(["dpkg", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root)

    def path(self, *parts):
        return os.path.join(self.root, "usr", *parts)


class InstalledProgramTest(Unpacked):
    def test_version_is_printed_without_a_display(self):
        env = {"PATH": "/usr/bin:/bin", "HOME": self.root}
        for command in (self.path("bin", "ombrel"), self.path("libexec", "ombrel", "ombrel")):
            run = subprocess.run([command, "--version"], env=env, capture_output=True,
                                 text=True, timeout=30)
            self.assertEqual((run.returncode, run.stdout, run.stderr),
                             (0, f"ombrel {VERSION}\n", ""), command)

    def test_first_start_on_a_fresh_data_home_opens_the_window(self):
        check_tools()
        server = XServer()
        display = server.start()
        self.addCleanup(server.stop)
        app = App(self.path("bin", "ombrel"), display, None)
        self.addCleanup(app.stop)
        data_home = os.path.join(app.root, "fresh-data-home")
        app.log = open(os.path.join(app.root, "output.txt"), "wb")
        app.process = subprocess.Popen(
            [app.program], cwd=app.root, env={**app.env(), "XDG_DATA_HOME": data_home},
            stdin=subprocess.DEVNULL, stdout=app.log, stderr=subprocess.STDOUT,
            start_new_session=True)
        # A fresh installation has no master password: a warning, then the window.
        box = app.wait_window("Ombrel", timeout=30)
        app.key(box, "Return")
        app.wait_window(MAIN_TITLE)
        data = os.path.join(data_home, "ombrel")
        self.assertEqual(stat.S_IMODE(os.stat(data).st_mode), 0o700)
        for name in ("pw.dat", "pwclr.dat", "help.htm"):
            with open(os.path.join(data, name), "rb") as copy, \
                    open(self.path("share", "ombrel", "data", name), "rb") as seed:
                self.assertEqual(copy.read(), seed.read(), name)


class PackageChecksTest(Unpacked):
    def check(self, *command):
        run = subprocess.run(command, capture_output=True, text=True, timeout=300)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        return run.stdout

    def test_lintian_finds_no_error_or_warning(self):
        out = self.check("lintian", "--fail-on", "error,warning", self.deb)
        self.assertEqual([line for line in out.splitlines() if line[:2] in ("E:", "W:")], [])

    def test_desktop_entry_metainfo_and_icons(self):
        desktop = self.path("share", "applications", APP_ID + ".desktop")
        metainfo = self.path("share", "metainfo", APP_ID + ".metainfo.xml")
        self.check("desktop-file-validate", desktop)
        self.check("appstreamcli", "validate", "--no-net", metainfo)
        with open(desktop) as f:
            entry = f.read().splitlines()
        self.assertIn("Exec=ombrel", entry)
        self.assertIn("Icon=" + APP_ID, entry)
        # The icon the entry names is there, in the scalable and the largest size.
        icons = self.path("share", "icons", "hicolor")
        for icon in ("scalable/apps/" + APP_ID + ".svg", "256x256/apps/" + APP_ID + ".png"):
            self.assertTrue(os.path.isfile(os.path.join(icons, icon)), icon)

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *sys.argv[3:]])
