// SPDX-License-Identifier: MIT
#pragma once

namespace ombrel {

// Shows the window's own button widgets, the command pictures and the colour
// swatches, to screen readers as push buttons whose Press action does what a
// click does. Without it Qt, which does not know these classes, offers a
// picture as an image and a swatch as an unnamed filler, neither of which can
// be run from the accessibility bus.
//
// Each of these widgets calls this as it is built: Qt keeps the first
// interface it makes for a widget, so the factory must be in place before
// anyone asks. Calls after the first do nothing.
void installAccessibleButtons();

}  // namespace ombrel
