// SPDX-License-Identifier: MIT
#include "ui/CaptionLabel.h"

#include <QPainter>

namespace ombrel {

void CaptionLabel::paintEvent(QPaintEvent* event) {
  if (!text().isEmpty()) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
  }
  QLabel::paintEvent(event);
}

}  // namespace ombrel
