#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader hears of the window, over the real accessibility bus.

Usage: dbus-run-session -- accessibility_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Reuses the helpers of e2e_test.py. The program runs on Xvfb (xcb) with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 inside the D-Bus session that
dbus-run-session gives, which starts the accessibility bus (at-spi2-core) on
the program's first call. The AT-SPI tree and its events are read as Orca
reads them, through Atspi (gir1.2-atspi-2.0, python3-gi).
"""

import os
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# This Atspi marks its action calls deprecated but has no others to call.
warnings.filterwarnings("ignore", category=DeprecationWarning, module=__name__)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test as e2e  # noqa: E402
from e2e_test import CaseFailure, expect  # noqa: E402

os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


def pump(seconds):
    """Lets the bus deliver its events for `seconds`."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def application(app, timeout=10):
    """The program's node of the AT-SPI tree."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            node = desktop.get_child_at_index(i)
            if node is not None and node.get_process_id() == app.process.pid:
                return node
        time.sleep(0.2)
    raise CaseFailure("the program did not register on the accessibility bus")


def find(node, predicate):
    if predicate(node):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), predicate)
        if found is not None:
            return found
    return None


def states(node):
    return {state.value_nick for state in node.get_state_set().get_states()}


def actions(node):
    return [node.get_action_name(i) for i in range(node.get_n_actions())]


class FocusAnnouncements:
    """(role, name) of each object that the bus says has gained the focus."""

    def __init__(self):
        self.heard = []
        self.listener = Atspi.EventListener.new(self._on_event)
        self.listener.register("object:state-changed:focused")

    def _on_event(self, event):
        if event.detail1 == 1:
            self.heard.append((event.source.get_role_name(), event.source.get_name()))

    def stop(self):
        self.listener.deregister("object:state-changed:focused")


e2e.CASES.clear()  # only the cases of this file


@e2e.case
def tab_through_the_colour_chooser_and_press_a_swatch(app):
    main = e2e.open_fresh(app)
    tree = application(app)
    e2e.choose_menu_item(app, main, e2e.MENU_OMBREL, 2)  # Change Color
    chooser = find(tree, lambda n: n.get_name() == "Choose Background Color")
    expect(chooser is not None, "the chooser's heading is not on the bus")
    app.wait_for(lambda: "showing" in states(chooser), "the chooser on the bus")

    app.key(main, "Home", "Tab", "Tab", "Tab", "Tab")  # Text1, lblw, lblu, lblp
    pump(0.5)
    announcements = FocusAnnouncements()
    try:
        app.key(main, *["Tab"] * 26)  # the 24 swatches, OK, the banner
        deadline = time.monotonic() + 10
        while len(announcements.heard) < 26 and time.monotonic() < deadline:
            pump(0.2)
    finally:
        announcements.stop()
    heard = announcements.heard
    expect(len(heard) == 26, f"{len(heard)} of 26 Tabs were announced: {heard}")
    swatches = heard[:24]
    expect(all(role == "push button" for role, _ in swatches), f"swatches heard as {swatches}")
    names = [name for _, name in swatches]
    expect(len(set(names)) == 24 and all(names), f"the swatches are not told apart: {names}")
    expect(heard[24:] == [("push button", "OK"), ("image", "Ombrel")], f"then {heard[24:]}")

    # The reader's Press picks the colour, as a click does.
    red = find(chooser.get_parent(), lambda n: n.get_name() == "Red")
    expect(red is not None, "no swatch is named Red")
    red.do_action(actions(red).index("Press"))
    app.wait_file("pwclr.dat", e2e.colour_file(255))
    app.screenshot("accessibility-red.png")


if __name__ == "__main__":
    sys.exit(e2e.main())
