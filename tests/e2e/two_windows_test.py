#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Two real programs on one data directory, under Xvfb.

Usage: two_windows_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Reuses the helpers of e2e_test.py. Races are widened by holding the data
directory's write lock from this script while both programs wait for it,
never by sleeping.
"""

import fcntl
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test as e2e  # noqa: E402
from e2e_test import CaseFailure, expect, record  # noqa: E402


class Peer(e2e.App):
    """A program whose windows are told apart from another one's by process."""

    def __init__(self, program, display, artifacts, data_dir=None):
        super().__init__(program, display, artifacts)
        if data_dir:
            self.data_dir = data_dir

    def find_windows(self, title):
        if self.process is None:
            return []
        pattern = "^" + e2e.re.escape(title) + "$"
        found = self._xdotool("search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                              "--name", pattern, check=False)
        return [int(w) for w in found.stdout.split()]


class DirectoryLock:
    """Holds the lock every writing command of the program takes."""

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDONLY | os.O_DIRECTORY)
        fcntl.flock(self.fd, fcntl.LOCK_EX)

    def release(self):
        os.close(self.fd)


def open_peer(app, files=None, x=0):
    app.start(files or {})
    e2e.dismiss_box(app, "Ombrel")
    window = app.wait_window(e2e.MAIN_TITLE)
    if x:  # side by side, so that a screenshot shows both
        app._xdotool("windowmove", "--sync", str(window), str(x), "0", check=False)
    return window


def new_entry(app, window, name, user, password):
    app.key(window, "ctrl+n")
    e2e.answer_prompt(app, "Web Site", name)
    e2e.answer_prompt(app, "User Name", user)
    e2e.answer_prompt(app, "Password", password)


# Client-area places, in pixels, of the first list row and the password box.
FIRST_NAME = (120, 129)
ROW_HEIGHT = 18
PASSWORD_BOX = (640, 180)


def answer(app, title, key="Return"):
    """Answers the box titled `title` and waits until it is gone; a box just
    mapped may miss the first key."""
    box = app.wait_window(title)
    deadline = time.monotonic() + 5
    while box in app.find_windows(title):
        expect(time.monotonic() < deadline, f"the box {title!r} did not close")
        app.key(box, key)
        for _ in range(10):
            if box not in app.find_windows(title):
                return
            time.sleep(0.1)


def save_first_name(app, window, typed):
    """Picks the first name by a click, types into the password box and
    saves. Returns the title of the box that Save shows; one that is not the
    usual question is answered. A click may be lost while a box just closed,
    so callers retry."""
    top = e2e.menu_bar_height(app, window)
    app.click(window, FIRST_NAME[0], top + FIRST_NAME[1])
    app.click(window, PASSWORD_BOX[0], top + PASSWORD_BOX[1])
    app.key(window, "End")
    app.type_text(window, typed)
    app.key(window, "ctrl+s")
    app.wait_for(lambda: app.find_windows("OverwriteFile") or app.find_windows("Ombrel"),
                 "an answer to Save")
    if app.find_windows("OverwriteFile"):
        return "OverwriteFile"
    answer(app, "Ombrel")
    return "Ombrel"


def records_in_dir(directory):
    try:
        with open(os.path.join(directory, "passwords.dat"), "rb") as f:
            return set(f.read().splitlines(keepends=True))
    except FileNotFoundError:
        return set()


def records_in(app):
    return records_in_dir(app.data_dir)


def wait_records(app, expected, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if records_in(app) == expected:
            return
        time.sleep(0.1)
    raise CaseFailure(f"passwords.dat holds {records_in(app)!r}, expected {expected!r}")


def with_peers(test):
    """Runs `test(a, b)` with two programs on one data directory."""

    def run(app):
        other = Peer(app.program, app.display, app.artifacts, data_dir=app.data_dir)
        try:
            test(app, other)
        except Exception:
            app.screenshot(f"e2e-failed-{test.__name__}-both.png")
            if other.process is not None:
                print("     other program's output:\n" + other.output().rstrip()
                      + f"\n     (status {other.process.poll()})")
            raise
        finally:
            other.stop()

    run.__name__ = test.__name__
    return e2e.case(run)


e2e.CASES.clear()  # only the cases of this file


@with_peers
def both_add_an_entry_at_the_same_moment(a, b):
    old = record("old.org", "o", "o", "")
    main_a = open_peer(a, {**e2e.fresh_install_files(), "passwords.dat": old})
    main_b = open_peer(b, x=640)
    lock = DirectoryLock(a.data_dir)
    try:
        # B is asked its last question first, so that A's wait for the lock
        # (a few seconds at most) spans only one answer of B's.
        b.key(main_b, "ctrl+n")
        e2e.answer_prompt(b, "Web Site", "from-b.com")
        e2e.answer_prompt(b, "User Name", "bob")
        b.wait_window("Password")
        new_entry(a, main_a, "from-a.com", "ann", "1")
        e2e.answer_prompt(b, "Password", "2")
        # Both now wait for the lock; each read of the old file would lose
        # the other's entry.
        expect(records_in(a) == {old}, "an entry was written while the lock was held")
    finally:
        lock.release()
    wait_records(a, {old, record("from-a.com", "ann", "1", ""), record("from-b.com", "bob", "2", "")})
    expect(not a.find_windows("Ombrel") and not b.find_windows("Ombrel"), "a warning was shown")
    expect(not os.path.exists(os.path.join(a.data_dir, "passwords2.dat")), "a temporary file was left")


@with_peers
def delete_in_one_window_leaves_the_other_list_and_stale_save_asks(a, b):
    files = {**e2e.fresh_install_files(),
             "passwords.dat": record("a.com", "ann", "1", "") + record("b.com", "bob", "2", "")}
    main_a = open_peer(a, files)
    main_b = open_peer(b, x=640)

    b.key(main_b, "End", "Home")  # B shows a.com (Home alone may only move the cursor)
    b.key(main_b, "Tab", "Tab", "Tab", "Tab")  # Text1, lblw, lblu, lblp
    b.type_text(main_b, "mine")

    a.key(main_a, "End", "Home")  # A deletes it
    a.key(main_a, "Delete")
    answer(a, "Delete File", "alt+y")
    wait_records(a, {record("b.com", "bob", "2", "")})

    # B's Save says the entry is gone instead of storing nothing in silence.
    b.key(main_b, "ctrl+s")
    answer(b, "Ombrel")
    expect(records_in(a) == {record("b.com", "bob", "2", "")}, "the Save of a deleted entry wrote")

    # B's list drops a.com by itself: its first name becomes b.com, whose Save
    # asks the usual question (a pick of a.com would find no record and a
    # Save of it would do nothing). Polled, since the list follows within a
    # moment of the change.
    deadline = time.monotonic() + 5
    while save_first_name(b, main_b, "mine") != "OverwriteFile":
        expect(time.monotonic() < deadline, "the other window still lists the deleted entry")
    answer(b, "OverwriteFile")  # No: keep it for later

    # A changes b.com while B shows it with "mine" typed in.
    while save_first_name(a, main_a, "theirs") != "OverwriteFile":
        pass
    answer(a, "OverwriteFile", "alt+y")
    # Saved from A's boxes, its notes are now unset: the record changed.
    a.wait_for(lambda: records_in(a) != {record("b.com", "bob", "2", "")}, "A's save")
    theirs = records_in(a)

    b.key(main_b, "ctrl+s")
    answer(b, "Changed Elsewhere")  # No is the default
    expect(not b.find_windows("OverwriteFile"), "No went on to the usual question")
    expect(records_in(a) == theirs, "No overwrote the other window's change")


if __name__ == "__main__":
    sys.exit(e2e.main())
