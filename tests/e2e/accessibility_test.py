#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader hears of the window, over the real accessibility bus.

Usage: dbus-run-session -- accessibility_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

The program runs on the Xvfb of e2e_test.py in the D-Bus session of
dbus-run-session, which starts the accessibility bus (at-spi2-core) on its
first call. The tree and its events are read as Orca reads them, through
Atspi (gir1.2-atspi-2.0, python3-gi).
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
from e2e_test import expect  # noqa: E402

os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


def find(node, predicate):
    """The first node of the tree under `node` (itself included) that matches."""
    if node is None or predicate(node):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), predicate)
        if found is not None:
            return found
    return None


e2e.CASES.clear()  # only the cases of this file


@e2e.case
def tab_through_the_colour_chooser_and_press_a_swatch(app):
    main = e2e.open_fresh(app)
    e2e.choose_menu_item(app, main, e2e.MENU_OMBREL, 2)  # Change Color

    def heading():
        tree = find(Atspi.get_desktop(0), lambda n: n.get_process_id() == app.process.pid)
        found = find(tree, lambda n: n.get_name() == "Choose Background Color")
        return found if found and found.get_state_set().contains(Atspi.StateType.SHOWING) else None

    app.wait_for(heading, "the shown chooser on the accessibility bus")
    chooser = heading().get_parent()

    heard = []  # what the bus says gains the focus at each Tab: (role, name)

    def on_focus(event):
        if event.detail1 == 1:
            heard.append((event.source.get_role_name(), event.source.get_name()))

    listener = Atspi.EventListener.new(on_focus)
    app.key(main, "Home", "Tab", "Tab", "Tab", "Tab")  # Text1, lblw, lblu, lblp
    listener.register("object:state-changed:focused")
    try:
        app.key(main, *["Tab"] * 26)  # the 24 swatches, OK, the banner
        deadline = time.monotonic() + 10
        while len(heard) < 26 and time.monotonic() < deadline:
            GLib.MainContext.default().iteration(False) or time.sleep(0.02)
    finally:
        listener.deregister("object:state-changed:focused")
    expect(len(heard) == 26, f"{len(heard)} of 26 Tabs were announced: {heard}")
    expect(all(role == "push button" for role, _ in heard[:24]), f"swatches heard as {heard}")
    expect(len({name for _, name in heard[:24] if name}) == 24,
           f"the swatches are not told apart: {heard[:24]}")
    expect(heard[24:] == [("push button", "OK"), ("image", "Ombrel")], f"then {heard[24:]}")

    # The reader's Press picks the colour, as a click does.
    red = find(chooser, lambda n: n.get_name() == "Red")
    red.do_action([red.get_action_name(i) for i in range(red.get_n_actions())].index("Press"))
    app.wait_file("pwclr.dat", e2e.colour_file(255))
    app.screenshot("accessibility-red.png")


if __name__ == "__main__":
    sys.exit(e2e.main())
