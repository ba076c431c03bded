#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""End-to-end tests: the real program in a real X server, driven like a user.

Usage: e2e_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Starts its own Xvfb, runs ombrel in a fresh data directory filled byte for
byte by this script, finds windows by title with xdotool, types into them and
checks what happens. No window manager runs, so focus is given with
`xdotool windowfocus`. Screenshots go to the artifacts directory.

A case is a function decorated with @case; it gets an `App` helper. See the
cases at the end of this file for how to add one.
"""

import argparse
import os
import re
import shutil
import select
import signal
import subprocess
import sys
import tempfile
import time
import traceback

REQUIRED_TOOLS = ["Xvfb", "xdotool", "xdpyinfo", "import"]

MAIN_TITLE = "Tavik's Ombrel Version 1.0"
NO_PASSWORD_MARKER = b"efgh"  # as stored: the shifted form
CRLF = b"\r\n"


# --- data files, written independently of the program's own code ---------


def shift(text):
    """Shift-encodes a text: every Windows-1252 byte c becomes c + 100."""
    raw = text.encode("cp1252")
    if any(c > 155 for c in raw):
        raise ValueError(f"cannot be stored: {text!r}")
    return bytes(c + 100 for c in raw)


def pw_file(password):
    return shift(password) + CRLF


def colour_file(value):
    sign = "-" if value < 0 else " "
    return f"{sign}{abs(value)} ".encode("ascii") + CRLF


def record(name, user=None, password=None, notes=""):
    """One line of passwords.dat; None is an unset field (nothing written)."""
    fields = [name, user, password, notes]
    return b",".join(b"" if f is None else b'"' + shift(f) + b'"' for f in fields) + CRLF


def fresh_install_files():
    return {"pw.dat": NO_PASSWORD_MARKER + CRLF, "pwclr.dat": colour_file(16777215)}


# --- the X server -----------------------------------------------------------


class CaseFailure(AssertionError):
    pass


def check_tools():
    missing = [t for t in REQUIRED_TOOLS if shutil.which(t) is None]
    if missing:
        sys.exit(
            "e2e: missing tools: "
            + ", ".join(missing)
            + " (install xvfb, xdotool, x11-utils, imagemagick: bash scripts/install-deps.sh)"
        )


class XServer:
    """A private Xvfb on a display number of its own choosing."""

    def __init__(self):
        self.process = None
        self.display = None

    def start(self, timeout=15):
        # Xvfb picks a free display itself and tells its number through a pipe,
        # so that two runs side by side never share (or lose) a display.
        # -noreset: by default the server resets when its last client leaves,
        # and drops any client still connecting at that moment; a program
        # started right after the previous one ended could then find no display.
        read_end, write_end = os.pipe()
        process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            pass_fds=(write_end,),
            start_new_session=True,
        )
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while time.monotonic() < deadline and not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], 0.2)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        break
                    number += chunk
        finally:
            os.close(read_end)
        if not number.strip().isdigit():
            kill_group(process)
            raise RuntimeError("Xvfb did not start")
        self.process, self.display = process, ":" + number.strip().decode()
        return self.display

    def stop(self):
        if self.process is not None:
            kill_group(self.process)
            self.process = None


def kill_group(process, grace=3.0):
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


# --- one run of the program -------------------------------------------------


class App:
    """The program under test, started in its own data directory."""

    def __init__(self, program, display, artifacts):
        self.program = program
        self.display = display
        self.artifacts = artifacts
        self.process = None
        self.root = tempfile.mkdtemp(prefix="ombrel-e2e-")
        self.data_dir = os.path.join(self.root, "data")
        os.mkdir(self.data_dir, 0o700)
        self.bin_dir = os.path.join(self.root, "bin")
        os.mkdir(self.bin_dir)
        # Help, Open Site and Web Site hand a URL to xdg-open; record it instead.
        self.stand_in("xdg-open")

    def stand_in(self, command):
        """Puts first on the PATH a `command` that only records its arguments."""
        path = os.path.join(self.bin_dir, command)
        with open(path, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{path}.log"\n')
        os.chmod(path, 0o755)

    def calls(self, command):
        """The arguments of each call of the stand-in `command`, a line a call."""
        path = os.path.join(self.bin_dir, command + ".log")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return f.read().splitlines()

    def env(self):
        env = {
            k: v
            for k, v in os.environ.items()
            if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SESSION_MANAGER")
        }
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(
            DISPLAY=self.display,
            QT_QPA_PLATFORM="xcb",
            XDG_RUNTIME_DIR=runtime,
            XDG_SESSION_TYPE="",
            XDG_CURRENT_DESKTOP="",
            HOME=self.root,
            PATH=self.bin_dir + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
        )
        return env

    # Data directory

    def write_files(self, files):
        for name, content in files.items():
            with open(os.path.join(self.data_dir, name), "wb") as f:
                f.write(content)

    def read_file(self, name):
        with open(os.path.join(self.data_dir, name), "rb") as f:
            return f.read()

    def snapshot(self):
        """Every file of the data directory with its bytes."""
        result = {}
        for name in sorted(os.listdir(self.data_dir)):
            path = os.path.join(self.data_dir, name)
            if os.path.isfile(path):
                result[name] = self.read_file(name)
        return result

    def opened_urls(self):
        return self.calls("xdg-open")

    # Process

    def start(self, files):
        """Fills the data directory with `files` (name -> bytes) and starts the program."""
        self.write_files(files)
        self.log = open(os.path.join(self.root, "output.txt"), "wb")
        self.process = subprocess.Popen(
            [self.program],
            cwd=self.data_dir,
            env=self.env(),
            stdin=subprocess.DEVNULL,
            stdout=self.log,
            stderr=subprocess.STDOUT,
            start_new_session=True,
        )

    def output(self):
        with open(os.path.join(self.root, "output.txt"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=10):
        """Waits for the program to end by itself; returns its exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise CaseFailure(f"the program was still running after {timeout} s")

    def stop(self):
        if self.process is not None:
            kill_group(self.process)
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)

    # Windows and keys

    def _xdotool(self, *args, check=True):
        try:
            result = subprocess.run(
                ["xdotool", *args],
                env={**os.environ, "DISPLAY": self.display},
                stdout=subprocess.PIPE,
                stderr=subprocess.PIPE,
                text=True,
                timeout=10,
            )
        except subprocess.TimeoutExpired:
            raise CaseFailure(f"xdotool {' '.join(args)} hung")
        if check and result.returncode != 0:
            raise CaseFailure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def find_windows(self, title):
        """Ids of the shown windows whose title is exactly `title`."""
        pattern = "^" + re.escape(title) + "$"
        found = self._xdotool("search", "--onlyvisible", "--name", pattern, check=False)
        return [int(w) for w in found.stdout.split()]

    def wait_window(self, title, timeout=15):
        """Waits until a window titled `title` is shown; returns its id."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            windows = self.find_windows(title)
            if windows:
                return windows[-1]
            if not self.running():
                raise CaseFailure(
                    f"the program ended (status {self.process.returncode}) "
                    f"before a window {title!r} appeared"
                )
            time.sleep(0.1)
        raise CaseFailure(f"no window {title!r} within {timeout} s")

    def shown_windows(self):
        """Ids of the program's shown top-level windows, menus included."""
        found = self._xdotool("search", "--onlyvisible", "--pid", str(self.process.pid),
                              check=False)
        return {int(w) for w in found.stdout.split()}

    def wait_for(self, condition, what, timeout=10):
        """Polls `condition` until it holds; a busy machine may be slow to draw."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return
            if not self.running():
                raise CaseFailure(f"the program ended while waiting for {what}")
            time.sleep(0.1)
        raise CaseFailure(f"no {what} within {timeout} s")

    def focus(self, window):
        self._xdotool("windowfocus", "--sync", str(window))

    def type_text(self, window, text):
        self.focus(window)
        self._xdotool("type", "--delay", "20", "--", text)

    def key(self, window, *keys):
        self.focus(window)
        self._xdotool("key", "--delay", "50", "--", *keys)

    def click(self, window, x, y):
        """A left click at (x, y) inside `window`."""
        self._xdotool("mousemove", "--window", str(window), str(x), str(y))
        self._xdotool("click", "1")

    def geometry(self, window):
        """(width, height) of a window."""
        out = self._xdotool("getwindowgeometry", "--shell", str(window)).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def pixel(self, window, x, y):
        """The (red, green, blue) of one pixel of a window."""
        out = subprocess.run(
            ["import", "-display", self.display, "-window", str(window),
             "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, check=False,
        ).stdout
        match = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1] if out else "")
        if not match:
            raise CaseFailure(f"could not read a pixel: {out!r}")
        return tuple(int(v) for v in match.groups())

    def wait_file(self, name, expected, timeout=10):
        """Waits until data file `name` holds exactly `expected` (None: absent)."""
        deadline = time.monotonic() + timeout
        path = os.path.join(self.data_dir, name)
        actual = None
        while time.monotonic() < deadline:
            actual = self.read_file(name) if os.path.exists(path) else None
            if actual == expected:
                return
            time.sleep(0.1)
        raise CaseFailure(f"{name} holds {actual!r}, expected {expected!r}")

    def screenshot(self, name):
        if not self.artifacts:
            return None
        path = os.path.join(self.artifacts, name)
        time.sleep(0.5)  # a window just mapped may not have painted yet
        subprocess.run(
            ["import", "-display", self.display, "-window", "root", path],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE,
            check=False,
        )
        return path


# --- cases --------------------------------------------------------------------

CASES = []


def case(function):
    CASES.append(function)
    return function


def expect(condition, message):
    if not condition:
        raise CaseFailure(message)


def answer_prompt(app, title, text):
    prompt = app.wait_window(title)
    app.type_text(prompt, text)
    app.key(prompt, "Return")


def dismiss_box(app, title):
    box = app.wait_window(title)
    app.key(box, "Return")


def expect_no_main_window(app):
    expect(not app.find_windows(MAIN_TITLE), "the main window was shown")


def expect_fatal_end(app):
    status = app.wait_exit(timeout=10)
    expect(status >= 0, f"the program was killed by signal {-status}")


@case
def right_password_opens_the_window(app):
    files = {
        "pw.dat": pw_file("secret"),
        "pwclr.dat": colour_file(16777215),
        "passwords.dat": record("www.example.org", "alice", "pa55", "")
        + record("bank.example.com", "bob", None, ""),
    }
    app.start(files)
    answer_prompt(app, "Password", "secret")
    app.wait_window(MAIN_TITLE)
    app.screenshot("e2e-main-window.png")
    expect(app.snapshot() == files, "start-up changed the data files")


@case
def wrong_password_ends_the_program(app):
    app.start({"pw.dat": pw_file("secret"), "pwclr.dat": colour_file(16777215)})
    answer_prompt(app, "Password", "Secret")  # letters differ only in case
    box = app.wait_window("Wrong Password!")
    expect_no_main_window(app)
    app.key(box, "Return")
    expect_fatal_end(app)


@case
def missing_password_file_ends_the_program(app):
    app.start({"pwclr.dat": colour_file(16777215)})
    box = app.wait_window("Password File has been tampered with!")
    expect(not app.find_windows("Password"), "the password was asked for")
    expect_no_main_window(app)
    app.key(box, "Return")
    expect_fatal_end(app)
    expect(not os.path.exists(os.path.join(app.data_dir, "pw.dat")), "pw.dat was created")


@case
def fresh_installation_warns_then_opens(app):
    files = fresh_install_files()
    app.start(files)
    box = app.wait_window("Ombrel")
    expect(not app.find_windows("Password"), "the password was asked for")
    app.key(box, "Return")
    app.wait_window(MAIN_TITLE)
    app.screenshot("e2e-fresh-installation.png")
    expect(app.snapshot() == files, "start-up changed the data files")


# Client-area places, in pixels, of what the cases click (design twips / 15).
MENU_FILE = (20, 10)
MENU_OMBREL = (66, 10)
CLIENT_HEIGHT = 489


def menu_bar_height(app, window):
    return app.geometry(window)[1] - CLIENT_HEIGHT


def choose_menu_item(app, window, menu, downs):
    """Opens a menu of the menu bar and takes its `downs`-th item."""
    before = app.shown_windows()
    app.click(window, *menu)
    app.wait_for(lambda: app.shown_windows() - before, "menu popup")
    for _ in range(downs):
        app.key(window, "Down")
    app.key(window, "Return")


def open_fresh(app, extra=None):
    files = fresh_install_files()
    files.update(extra or {})
    app.start(files)
    dismiss_box(app, "Ombrel")
    return app.wait_window(MAIN_TITLE)


@case
def new_save_and_delete_from_the_keyboard(app):
    old = record("zeta.org", "zed", "z-pass", "")
    main = open_fresh(app, {"passwords.dat": old})

    app.key(main, "ctrl+n")
    answer_prompt(app, "Web Site", "alpha.com")
    answer_prompt(app, "User Name", "ann")
    answer_prompt(app, "Password", "")
    created = old + record("alpha.com", "ann", None, "")
    app.wait_file("passwords.dat", created)

    # The list has the focus: the first name is the new one, sorted into place.
    app.key(main, "Home")
    app.key(main, "Tab", "Tab", "Tab", "Tab")  # Text1, lblw, lblu, lblp
    app.type_text(main, "s3cret, \"quoted\"")
    app.key(main, "ctrl+s")
    box = app.wait_window("OverwriteFile")
    app.key(box, "Return")  # No is the default: nothing changes
    time.sleep(0.5)
    app.wait_file("passwords.dat", created)
    app.key(main, "ctrl+s")
    box = app.wait_window("OverwriteFile")
    app.key(box, "alt+y")
    saved = old + record("alpha.com", "ann", 's3cret, "quoted"', None)
    app.wait_file("passwords.dat", saved)

    # Del with the caret in the password box deletes the entry, not a character.
    app.key(main, "Home", "Delete")
    box = app.wait_window("Delete File")
    app.key(box, "alt+y")
    app.wait_file("passwords.dat", old)
    expect(not os.path.exists(os.path.join(app.data_dir, "passwords2.dat")),
           "a temporary file was left behind")
    app.screenshot("e2e-after-delete.png")


@case
def colour_is_kept_for_the_next_start(app):
    main = open_fresh(app)
    top = menu_bar_height(app, main)
    choose_menu_item(app, main, MENU_OMBREL, 2)  # Change Color
    # Swatch 17 (pure red): row 3, column 2 of the chooser at (272, 152).
    swatch = (272 + 56 + 12, top + 152 + 104 + 12)
    app.wait_for(lambda: app.pixel(main, *swatch) == (255, 0, 0), "colour chooser")
    app.click(main, *swatch)
    app.wait_file("pwclr.dat", colour_file(255))
    app.screenshot("e2e-colour-chooser.png")
    # "OK" closes the chooser.
    app.click(main, 272 + 120 + 40, top + 152 + 144 + 12)
    choose_menu_item(app, main, MENU_FILE, 4)  # Exit
    app.wait_exit()

    app.start({})
    dismiss_box(app, "Ombrel")
    main = app.wait_window(MAIN_TITLE)
    time.sleep(0.5)
    top = menu_bar_height(app, main)
    expect(app.pixel(main, 700, top + 470) == (255, 0, 0), "the window is not red after a restart")


@case
def new_password_is_asked_at_the_next_start(app):
    main = open_fresh(app)
    choose_menu_item(app, main, MENU_OMBREL, 1)  # Change Password
    answer_prompt(app, "Enter Password", "abc")
    dismiss_box(app, "Ombrel")  # too short
    app.wait_file("pw.dat", NO_PASSWORD_MARKER + CRLF)
    choose_menu_item(app, main, MENU_OMBREL, 1)
    answer_prompt(app, "Enter Password", "New pass")
    app.wait_file("pw.dat", pw_file("New pass"))
    choose_menu_item(app, main, MENU_FILE, 4)  # Exit
    app.wait_exit()

    app.start({})
    answer_prompt(app, "Password", "New pass")
    app.wait_window(MAIN_TITLE)


@case
def help_and_open_site_go_to_the_desktop(app):
    main = open_fresh(app, {"help.htm": b"<html></html>"})
    app.key(main, "F1")
    deadline = time.monotonic() + 10
    while not app.opened_urls() and time.monotonic() < deadline:
        time.sleep(0.1)
    opened = app.opened_urls()
    expect(opened and opened[0].endswith("/help.htm"), f"help opened {opened!r}")


@case
def open_site_keeps_a_typed_scheme_and_drops_blanks(app):
    entry = record("https://y.example/login ", "u", "p", "")
    main = open_fresh(app, {"passwords.dat": entry})
    top = menu_bar_height(app, main)
    app.click(main, 120, top + 128)  # the one name of the list
    app.click(main, 40, top + 280)  # Image3, Open Site
    app.wait_for(lambda: app.opened_urls(), "Open Site")
    opened = app.opened_urls()
    expect(opened == ["https://y.example/login"], f"Open Site opened {opened!r}")


@case
def damaged_entry_file_is_reported_once_the_window_is_up(app):
    whole = record("alpha.com", "ann", "pw", "")
    damaged = whole + b'"' + shift("cut") + b'","'
    main = open_fresh(app, {"passwords.dat": damaged})
    box = app.wait_window("Ombrel")
    expect(app.find_windows(MAIN_TITLE), "the warning came before the window")
    app.key(box, "Return")
    app.key(main, "ctrl+s")  # refused before the question
    dismiss_box(app, "Ombrel")
    expect(not app.find_windows("OverwriteFile"), "Save asked to overwrite a damaged file")
    expect(app.read_file("passwords.dat") == damaged, "the damaged file was changed")


# --- runner -------------------------------------------------------------------


def main(app_class=App):
    """Runs the selected cases, each with a fresh `app_class` (an App)."""
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", help="path to the built ombrel program")
    parser.add_argument("--artifacts", help="directory for screenshots")
    parser.add_argument("-k", dest="select", default="", help="run cases whose name contains this")
    args = parser.parse_args()

    program = os.path.abspath(args.program)
    if not os.access(program, os.X_OK):
        sys.exit(f"e2e: not an executable program: {program}")
    check_tools()
    if args.artifacts:
        os.makedirs(args.artifacts, exist_ok=True)

    # ctest ends a test that times out with SIGTERM; turn it into an exception
    # so that the program and the X server are still cleaned up.
    def terminate(signum, frame):
        raise SystemExit(f"e2e: stopped by signal {signum}")

    signal.signal(signal.SIGTERM, terminate)

    selected = [c for c in CASES if args.select in c.__name__]
    passed = failed = 0
    server = XServer()
    try:
        display = server.start()
        print(f"e2e: Xvfb on {display}", flush=True)
        for test in selected:
            app = app_class(program, display, args.artifacts)
            started = time.monotonic()
            try:
                test(app)
                passed += 1
                print(f"PASS {test.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception as error:
                failed += 1
                print(f"FAIL {test.__name__}: {error}", flush=True)
                if not isinstance(error, CaseFailure):
                    traceback.print_exc()
                shot = app.screenshot(f"e2e-failed-{test.__name__}.png")
                if shot:
                    print(f"     screen: {shot}")
                if app.process is not None:
                    print("     program output:\n" + app.output().rstrip())
            finally:
                app.stop()
    finally:
        server.stop()

    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not selected else 0


if __name__ == "__main__":
    sys.exit(main())
