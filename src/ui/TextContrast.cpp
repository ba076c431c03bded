// SPDX-License-Identifier: MIT
#include "ui/TextContrast.h"

#include <algorithm>
#include <cmath>

namespace ombrel {

namespace {

// The smallest ratio that WCAG 2 (level AA) asks of ordinary text.
constexpr double kReadableRatio = 4.5;

double linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

}  // namespace

double contrastRatio(const QColor& first, const QColor& second) {
  const double a = relativeLuminance(first);
  const double b = relativeLuminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor textColourOn(const QColor& background) {
  const QColor black(Qt::black);
  return contrastRatio(black, background) < kReadableRatio ? QColor(Qt::white) : black;
}

}  // namespace ombrel
