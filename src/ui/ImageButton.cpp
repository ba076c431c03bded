// SPDX-License-Identifier: MIT
#include "ui/ImageButton.h"

#include <QMouseEvent>

#include "ui/AccessibleButton.h"

namespace ombrel {

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) {
  setScaledContents(true);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  installAccessibleButtons();
}

void ImageButton::mousePressEvent(QMouseEvent* event) { click_.press(event); }

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  if (click_.release(event, *this)) emit clicked();
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  // Accepted, so that the movement does not also reach the tool bar under it:
  // the tool bar's own movement clears the caption this one sets.
  event->accept();
  emit mouseMoved();
}

}  // namespace ombrel
