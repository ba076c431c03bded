#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The password box and prompts, the X selections and other programs, under Xvfb.

Usage: clipboard_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Reuses the helpers of e2e_test.py. Another program's side of the PRIMARY
selection and the clipboard is played by xclip: `xclip -o` reads what the
owner offers, and an `xclip -i` left running holds a text of its own until a
program takes the selection from it.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test as e2e  # noqa: E402
from e2e_test import CaseFailure, expect  # noqa: E402

e2e.REQUIRED_TOOLS.append("xclip")

# Client-area places, in pixels, of the user name and password boxes: the
# first is on the text, the second past its end.
USER_BOX = (520, 148)
PASSWORD_TEXT = (520, 180)
PASSWORD_END = (740, 180)
HINT = "x-kde-passwordManagerHint"


class Selections:
    """Reads the selections and holds them in the name of another program."""

    def __init__(self, app):
        self.app = app
        self.holders = []

    def _xclip(self, *args):
        return ["xclip", "-display", self.app.display, *args]

    def read(self, selection, target=None):
        """What the owner of `selection` offers as text; None if it offers nothing."""
        command = self._xclip("-o", "-selection", selection) + (["-t", target] if target else [])
        try:
            result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                    timeout=5)
        except subprocess.TimeoutExpired:
            raise CaseFailure(f"the owner of {selection} did not answer")
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None

    def targets(self):
        return (self.read("clipboard", "TARGETS") or "").split()

    def hold(self, selection, text):
        """Another program takes `selection` with `text`, until someone takes it back."""
        holder = subprocess.Popen(self._xclip("-i", "-quiet", "-selection", selection),
                                  stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.holders.append(holder)
        holder.stdin.write(text.encode())
        holder.stdin.close()
        self.wait(selection, text, "xclip to hold it")

    def wait(self, selection, text, what, timeout=10):
        deadline = time.monotonic() + timeout
        while self.read(selection) != text:
            if time.monotonic() > deadline:
                raise CaseFailure(f"{selection} holds {self.read(selection)!r}, not {text!r}, "
                                  f"after waiting for {what}")
            time.sleep(0.1)

    def stop(self):
        for holder in self.holders:
            if holder.poll() is None:
                holder.kill()
            holder.wait()


def with_selections(test):
    def run(app):
        selections = Selections(app)
        try:
            test(app, selections)
        finally:
            selections.stop()

    run.__name__ = test.__name__
    return e2e.case(run)


e2e.CASES.clear()  # only the cases of this file


@with_selections
def the_password_box_offers_no_selection_and_copies_as_secret(app, selections):
    main = e2e.open_fresh(app)
    top = e2e.menu_bar_height(app, main)

    def at(place):
        return str(place[0]), str(place[1] + top)

    def click(place, button="1", repeat=1):
        app._xdotool("mousemove", "--window", str(main), *at(place))
        app._xdotool("click", "--repeat", str(repeat), "--delay", "80", button)

    def drag(start, end):
        app._xdotool("mousemove", "--window", str(main), *at(start))
        app._xdotool("mousedown", "1")
        app._xdotool("mousemove", "--window", str(main), *at(end))
        app._xdotool("mouseup", "1")

    def enter(place, text):
        click(place)
        app.key(main, "ctrl+a")
        app.type_text(main, text)

    def copied(gesture, keys, expected, hint):
        """Another program holds both selections, PRIMARY with "elsewhere";
        after `gesture`, `keys` copy `expected`. The clipboard tells when the
        program has handled both; returns what PRIMARY holds then."""
        selections.hold("primary", "elsewhere")
        selections.hold("clipboard", "marker")
        gesture()
        app.key(main, *keys)
        selections.wait("clipboard", expected, f"{' '.join(keys)} to copy")
        expect((HINT in selections.targets()) == hint,
               f"the copy offers {selections.targets()}")
        return selections.read("primary")

    password = "Secret7pw"
    enter(PASSWORD_END, password)
    gestures = {
        "a double click": lambda: click(PASSWORD_TEXT, repeat=2),
        "a triple click": lambda: click(PASSWORD_TEXT, repeat=3),
        "a drag": lambda: drag(PASSWORD_END, (PASSWORD_TEXT[0] - 30, PASSWORD_TEXT[1])),
        "Shift+Home": lambda: (click(PASSWORD_END), app.key(main, "shift+Home")),
        "Ctrl+A": lambda: app.key(main, "ctrl+a"),
    }
    for name, gesture in gestures.items():
        primary = copied(gesture, ["ctrl+c"], password, hint=True)
        expect(primary in ("elsewhere", None), f"after {name}, PRIMARY holds {primary!r}")

    # A middle click still pastes another program's PRIMARY into the box.
    # X11's kill keys cut to the clipboard, as a secret too: Ctrl+K to the end
    # here, Ctrl+U the whole line below.
    pasted = password + "elsewhere"
    copied(lambda: click(PASSWORD_END, button="2"), ["Home", "ctrl+k"], pasted, hint=True)

    # The user name box offers and copies as any other.
    enter(USER_BOX, "alice")
    primary = copied(lambda: click(USER_BOX, repeat=2), ["ctrl+c"], "alice", hint=False)
    expect(primary == "alice", f"after a double click on the user name, PRIMARY holds {primary!r}")

    # A copy that another program has replaced is left alone at the end.
    enter(PASSWORD_END, password)
    copied(lambda: None, ["ctrl+u"], password, hint=True)
    selections.hold("clipboard", "theirs")
    e2e.choose_menu_item(app, main, e2e.MENU_FILE, 4)  # Exit
    app.wait_exit()
    expect(selections.read("clipboard") == "theirs", "the end of the program cleared the clipboard")


@with_selections
def the_password_prompts_offer_no_selection_and_copy_as_secret(app, selections):
    """The password prompts (here start-up's and New's third) keep the
    password as the password box does; New's other prompts are as any."""

    def ask(title, text, secret):
        """Types `text` into the prompt `title`, selects it with Shift+Home,
        copies it and answers OK. Returns what PRIMARY held meanwhile."""
        prompt = app.wait_window(title)
        selections.hold("primary", "elsewhere")
        selections.hold("clipboard", "marker")
        app.type_text(prompt, text)
        app.key(prompt, "shift+Home", "ctrl+c")
        selections.wait("clipboard", text, f"Ctrl+C in {title!r}")
        expect((HINT in selections.targets()) == secret,
               f"the copy from {title!r} offers {selections.targets()}")
        primary = selections.read("primary")
        app.key(prompt, "Return")
        app.wait_for(lambda: prompt not in app.shown_windows(), f"{title!r} to close")
        if secret:
            expect(selections.read("clipboard") is None,
                   f"the clipboard still holds {selections.read('clipboard')!r} from {title!r}")
            expect(primary in ("elsewhere", None), f"{title!r} offered {primary!r} as PRIMARY")
        return primary

    app.start({"pw.dat": e2e.pw_file("Old pw 1"), "pwclr.dat": e2e.colour_file(16777215)})
    ask("Password", "Old pw 1", secret=True)
    main = app.wait_window(e2e.MAIN_TITLE)

    app.key(main, "ctrl+n")
    ask("Web Site", "alpha.com", secret=False)
    primary = ask("User Name", "ann", secret=False)
    expect(primary == "ann", f"the user name prompt offered {primary!r} as PRIMARY")
    ask("Password", "Pa55 word", secret=True)
    app.wait_file("passwords.dat", e2e.record("alpha.com", "ann", "Pa55 word", ""))


if __name__ == "__main__":
    sys.exit(e2e.main())
