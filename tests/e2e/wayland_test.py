#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The program on a real Wayland compositor, and its clipboard there.

Usage: wayland_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Weston runs with its X11 backend (the headless one has no seat, so no
clipboard) inside the Xvfb of e2e_test.py, whose helpers type into Weston's X
window. The program gets QT_QPA_PLATFORM=wayland and no DISPLAY, so it cannot
fall back to X11; WAYLAND_DEBUG makes it log the protocol, where its titles
and the keyboard focus tell when its windows are up. wl-paste reads the
clipboard as another Wayland program would.
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
        self.stand_in("wl-copy")
        self.servers = []  # Weston and its other clients

    def env(self):
        env = super().env()
        del env["DISPLAY"]
        env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=SOCKET, WAYLAND_DEBUG="client")
        return env

    def spawn(self, command, env, log=subprocess.DEVNULL):
        self.servers.append(subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                             stdout=log, stderr=subprocess.STDOUT,
                                             start_new_session=True))

    def start_weston(self):
        """Starts Weston; returns the X window that shows its output."""
        env = super().env()
        log_path = os.path.join(self.root, "weston.txt")
        self.spawn(["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", "--use-pixman",
                    "--width=1000", "--height=700", "--idle-time=0"], env, open(log_path, "wb"))

        def window():
            with open(log_path, errors="replace") as log:
                found = re.search(r"x11 output .* window id (\d+)", log.read())
            socket = os.path.join(env["XDG_RUNTIME_DIR"], SOCKET)
            return int(found.group(1)) if found and os.path.exists(socket) else None

        deadline = time.monotonic() + 15
        while not window():
            if self.servers[0].poll() is not None or time.monotonic() > deadline:
                with open(log_path, errors="replace") as log:
                    raise CaseFailure(f"Weston did not start:\n{log.read()}")
            time.sleep(0.1)
        # Weston takes the keyboard from its Wayland windows while its own X
        # window lacks the X focus: it gets that focus before any is up.
        self.focus(window())
        return window()

    def wait_focus(self, title=None):
        """Waits until the program's window `title` is up and has the
        keyboard focus, as its protocol log tells; with no title, until the
        program has lost the focus."""
        events = re.compile(r"set_title\(\"(.*)\"\)|wl_keyboard@\d+\.(enter|leave)\(")

        def reached():
            titled, focus = title is None, None
            for found in events.finditer(self.output()):
                if found.group(1) is not None:
                    titled = titled or found.group(1) == title
                elif titled:  # a focus event after the title was set
                    focus = found.group(2)
            return focus == ("leave" if title is None else "enter")

        self.wait_for(reached, f"keyboard focus on {title!r}" if title else "focus elsewhere")

    def paste(self, *args):
        """wl-paste's exit status and output, as another Wayland program reads."""
        result = subprocess.run(["wl-paste", *args], env=self.env(), capture_output=True,
                                text=True, timeout=10)
        return result.returncode, result.stdout

    def offered_types(self):
        status, out = self.paste("--list-types")
        return out.split() if status == 0 else []

    def stop(self):
        for server in reversed(self.servers):
            e2e.kill_group(server)
        super().stop()


e2e.CASES.clear()  # only the cases of this file


@e2e.case
def a_copied_password_reaches_the_wayland_clipboard_and_is_cleared(app):
    weston = app.start_weston()
    app.start(e2e.fresh_install_files())
    app.wait_focus("Ombrel")  # no master password is set yet
    app.key(weston, "Return")
    app.wait_focus(e2e.MAIN_TITLE)
    app.screenshot("wayland-window.png")

    password = "Secret7pw"
    app.key(weston, "Tab", "Tab", "Tab", "Tab")  # from the list to the password
    app.type_text(weston, password)
    app.key(weston, "ctrl+a", "ctrl+c")
    copied = time.monotonic()
    app.wait_for(lambda: HINT in app.offered_types(), f"copy marked {HINT} on the clipboard")
    expect(app.paste("--no-newline") == (0, password),
           f"the clipboard holds {app.paste('--no-newline')}")

    # The user goes on in another window, as to paste the password there.
    app.spawn(["weston-flower"], app.env())
    app.wait_focus()
    time.sleep(max(0, copied + CLEAR_DELAY - 10 - time.monotonic()))
    expect(HINT in app.offered_types(), "the copy was gone before its time")
    expect(not app.calls("wl-copy"), f"wl-copy ran early: {app.calls('wl-copy')}")
    app.wait_for(lambda: not app.offered_types(), "empty clipboard after the delay",
                 timeout=copied + CLEAR_DELAY + 10 - time.monotonic())
    # Cleared from a window without the focus, as GNOME would refuse it.
    app.wait_for(lambda: app.calls("wl-copy"), "wl-copy for an unfocused window")
    expect(app.calls("wl-copy") == ["--clear"], f"wl-copy ran as {app.calls('wl-copy')}")
    expect(app.running(), "the program ended")


if __name__ == "__main__":
    sys.exit(e2e.main(WaylandApp))
