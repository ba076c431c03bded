// SPDX-License-Identifier: MIT
#include "ui/ToolBarFrame.h"

#include <QMouseEvent>

namespace ombrel {

ToolBarFrame::ToolBarFrame(QWidget* parent) : QFrame(parent) {
  setMouseTracking(true);
  setAutoFillBackground(true);
  // Its own white, so that the window's colour does not reach it.
  QPalette white;
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void ToolBarFrame::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  emit mouseMoved();
}

}  // namespace ombrel
