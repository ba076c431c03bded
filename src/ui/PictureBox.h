// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>

#include "ui/LeftClick.h"

namespace ombrel {

// A plain box painted in its own background colour, which a click reports,
// and Space or Return while it has the focus. It takes the focus by the Tab
// key only, and then shows a mark. Screen readers see it as a button
// (AccessibleButton) under its accessible name.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(const QColor& colour, QWidget* parent = nullptr);

  QColor colour() const { return palette().color(QPalette::Window); }
  // Does what a click does.
  void click() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  LeftClick click_;
};

}  // namespace ombrel
