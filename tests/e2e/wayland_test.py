#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The program on a real Wayland compositor, and its clipboard there.

Usage: wayland_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Reuses the helpers of e2e_test.py. Weston's headless backend has no seat and
so no clipboard; its X11 backend, run inside the Xvfb that e2e_test.py
starts, has one. The program runs with QT_QPA_PLATFORM=wayland and without
DISPLAY, so that it cannot fall back to X11. Keys are typed into Weston's
own X window, which hands them to the focused Wayland window. What the
program offers on the clipboard is read by wl-paste (wl-clipboard), as
another Wayland program would read it; with WAYLAND_DEBUG the program logs
its protocol messages, where its windows' titles tell when they are up.
"""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test as e2e  # noqa: E402
from e2e_test import CaseFailure, expect  # noqa: E402

e2e.REQUIRED_TOOLS += ["weston", "weston-flower", "wl-paste"]

SOCKET = "ombrel-wayland"
HINT = "x-kde-passwordManagerHint"
CLEAR_DELAY = 30  # seconds a copied password stays on the clipboard


class WaylandApp(e2e.App):
    """The program on a Weston of its own, whose window lives in Xvfb."""

    def __init__(self, *args):
        super().__init__(*args)
        # Weston ignores the request to unset the clipboard that
        # `wl-copy --clear` makes, so its effect cannot be seen here: a
        # stand-in records when the program asks for it.
        self.wl_copy_log = os.path.join(self.root, "wl-copy.txt")
        stand_in = os.path.join(self.bin_dir, "wl-copy")
        with open(stand_in, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.wl_copy_log}"\n')
        os.chmod(stand_in, 0o755)
        self.others = []

    def wl_copy_calls(self):
        if not os.path.exists(self.wl_copy_log):
            return []
        with open(self.wl_copy_log) as f:
            return f.read().splitlines()

    def env(self):
        env = super().env()
        del env["DISPLAY"]
        env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=SOCKET, WAYLAND_DEBUG="client")
        return env

    def start_weston(self):
        env = dict(os.environ, DISPLAY=self.display,
                   XDG_RUNTIME_DIR=super().env()["XDG_RUNTIME_DIR"])
        env.pop("WAYLAND_DISPLAY", None)
        self.weston_log = os.path.join(self.root, "weston.txt")
        self.weston = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", "--use-pixman",
             "--width=1000", "--height=700", "--idle-time=0"],
            env=env, stdin=subprocess.DEVNULL, stdout=open(self.weston_log, "wb"),
            stderr=subprocess.STDOUT, start_new_session=True)
        socket = os.path.join(env["XDG_RUNTIME_DIR"], SOCKET)
        self.wait_for_weston(lambda: os.path.exists(socket), "Weston's socket")
        self.wait_for_weston(self._weston_window, "Weston's window")
        # Weston takes the keyboard from a Wayland window while its own X
        # window lacks the X focus, so it gets that focus before any window
        # is up, and keeps it.
        window = self._weston_window()
        self.focus(window)
        return window

    def _weston_window(self):
        """The X window that shows Weston's output, once Weston has told it."""
        with open(self.weston_log, errors="replace") as log:
            found = re.search(r"x11 output .* window id (\d+)", log.read())
        return int(found.group(1)) if found else None

    def wait_for_weston(self, condition, what, timeout=15):
        deadline = time.monotonic() + timeout
        while not condition():
            if self.weston.poll() is not None or time.monotonic() > deadline:
                with open(self.weston_log, errors="replace") as log:
                    raise CaseFailure(f"no {what}; Weston said:\n{log.read()}")
            time.sleep(0.1)

    def wait_focused(self, title):
        """Waits until the program has a Wayland window titled `title` and the
        keyboard focus after it: the window is up and takes keys."""
        title_set = re.compile(r"xdg_toplevel@\d+\.set_title\(\"" + re.escape(title) + r"\"\)")
        focused = re.compile(r"wl_keyboard@\d+\.enter\(")

        def up():
            log = self.output()
            found = title_set.search(log)
            return found and focused.search(log, found.end())

        self.wait_for(up, f"window {title!r} with the keyboard focus on Wayland")

    def give_focus_away(self):
        """Starts another Wayland window, which takes the keyboard focus."""
        other = subprocess.Popen(["weston-flower"], env=self.env(), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, start_new_session=True)
        self.others.append(other)
        events = re.compile(r"wl_keyboard@\d+\.(enter|leave)\(")

        def unfocused():
            found = events.findall(self.output())
            return found and found[-1] == "leave"

        self.wait_for(unfocused, "the program without the keyboard focus")

    def paste(self, *args):
        """wl-paste's exit status and output, run against the program's Weston."""
        env = dict(self.env(), WAYLAND_DISPLAY=SOCKET)
        try:
            result = subprocess.run(["wl-paste", *args], env=env, capture_output=True,
                                    text=True, timeout=10)
        except subprocess.TimeoutExpired:
            raise CaseFailure(f"wl-paste {' '.join(args)} hung")
        return result.returncode, result.stdout

    def offered_types(self):
        status, out = self.paste("--list-types")
        return out.split() if status == 0 else []

    def stop(self):
        for other in self.others:
            e2e.kill_group(other)
        if getattr(self, "weston", None) is not None:
            e2e.kill_group(self.weston)
        super().stop()


e2e.CASES.clear()  # only the cases of this file


@e2e.case
def a_copied_password_reaches_the_wayland_clipboard_and_is_cleared(app):
    weston = app.start_weston()
    app.start(e2e.fresh_install_files())
    app.wait_focused("Ombrel")  # no master password is set yet
    app.key(weston, "Return")
    app.wait_focused(e2e.MAIN_TITLE)
    time.sleep(1)  # the first frame, for the screenshot
    app.screenshot("wayland-window.png")

    password = "Secret7pw"
    app.key(weston, "Tab", "Tab", "Tab", "Tab")  # from the list to the password
    app.type_text(weston, password)
    app.key(weston, "ctrl+a", "ctrl+c")
    copied = time.monotonic()
    app.wait_for(lambda: HINT in app.offered_types(),
                 f"copy marked {HINT} on the clipboard (it offers {app.offered_types()})")
    expect(app.paste("--no-newline") == (0, password),
           f"the clipboard holds {app.paste('--no-newline')}")

    # The user goes on in another window, as to paste the password there.
    app.give_focus_away()
    time.sleep(max(0, copied + CLEAR_DELAY - 10 - time.monotonic()))
    expect(HINT in app.offered_types(), "the copy was gone before its time")
    expect(not app.wl_copy_calls(), f"wl-copy ran early: {app.wl_copy_calls()}")
    app.wait_for(lambda: not app.offered_types(), "empty clipboard after the delay",
                 timeout=copied + CLEAR_DELAY + 10 - time.monotonic())
    # Cleared from a window without the focus, as GNOME would refuse it.
    app.wait_for(lambda: app.wl_copy_calls(), "wl-copy for an unfocused window")
    expect(app.wl_copy_calls() == ["--clear"], f"wl-copy ran as {app.wl_copy_calls()}")
    expect(app.running(), "the program ended")


if __name__ == "__main__":
    sys.exit(e2e.main(WaylandApp))
