// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

namespace ombrel {

// The contrast ratio of two colours as WCAG 2 defines it, from 1 (the same
// luminance) to 21 (black on white). Alpha is ignored.
double contrastRatio(const QColor& first, const QColor& second);

// The colour of text drawn straight on `background`: black, as the window is
// designed, unless black would read poorly there (a ratio below 4.5:1), then
// white. It does not follow the desktop theme: the background is the user's
// chosen window colour, not the theme's.
QColor textColourOn(const QColor& background);

}  // namespace ombrel
