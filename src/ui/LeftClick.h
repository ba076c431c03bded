// SPDX-License-Identifier: MIT
#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace ombrel {

// The click of a widget that acts as a button: a press and a release of the
// left button, both inside it. Releasing outside cancels the click, as with a
// push button. The widget hands its press and release events over.
class LeftClick {
 public:
  void press(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    event->accept();
  }

  // True when this release completes a click on `widget`.
  bool release(QMouseEvent* event, const QWidget& widget) {
    if (event->button() != Qt::LeftButton) return false;
    const bool wasPressed = pressed_;
    pressed_ = false;
    event->accept();
    return wasPressed && widget.rect().contains(event->position().toPoint());
  }

 private:
  bool pressed_ = false;
};

}  // namespace ombrel
