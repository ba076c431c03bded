// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

namespace ombrel {

// The white frame that holds the command pictures. It reports pointer
// movement over its own surface (margins and gaps), not over the pictures.
class ToolBarFrame : public QFrame {
  Q_OBJECT

 public:
  explicit ToolBarFrame(QWidget* parent = nullptr);

 signals:
  void mouseMoved();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace ombrel
