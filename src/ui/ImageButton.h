// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

#include "ui/LeftClick.h"

namespace ombrel {

// A picture that acts as a command button: it shows its pixmap stretched to
// its box, reports a click (press and release of the left button inside it)
// and every pointer movement over it. Screen readers see it as a button
// (AccessibleButton), though it takes no focus: the menus and their keys are
// the keyboard's way to its commands.
class ImageButton : public QLabel {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent = nullptr);

  // Does what a click does.
  void click() { emit clicked(); }

 signals:
  void clicked();
  void mouseMoved();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  LeftClick click_;
};

}  // namespace ombrel
