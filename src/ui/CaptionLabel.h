// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace ombrel {

// The hover caption, which stands in front of the banner. Like every label it
// shows the window's colour behind its text; while it has no text it draws
// nothing, so the banner shows through unmarked.
class CaptionLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ombrel
