// SPDX-License-Identifier: MIT
#pragma once

namespace ombrel {

// Finishes a clear of the clipboard through Qt on Wayland, where Qt's clear
// alone may leave the copy in place; does nothing on other platforms.
//
// Qt clears by unsetting the selection. Weston ignores that request, and
// its built-in clipboard keeps a copy of what a program offered once the
// program withdraws it, so the password would stay, without its secret mark.
// A new offer with nothing in it replaces both. GNOME's compositor refuses
// any clipboard change from a window that does not have the keyboard focus,
// as the window often lacks it when a copy's time is up; then `wl-copy
// --clear` (wl-clipboard), which it accepts, clears instead, when installed.
void finishWaylandClipboardClear();

}  // namespace ombrel
