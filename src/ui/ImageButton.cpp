// SPDX-License-Identifier: MIT
#include "ui/ImageButton.h"

#include <QMouseEvent>

namespace ombrel {

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) {
  setScaledContents(true);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool wasPressed = pressed_;
  pressed_ = false;
  event->accept();
  // Releasing outside the picture cancels the click, as with a push button.
  if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  // Accepted, so that the movement does not also reach the tool bar under it:
  // the tool bar's own movement clears the caption this one sets.
  event->accept();
  emit mouseMoved();
}

}  // namespace ombrel
