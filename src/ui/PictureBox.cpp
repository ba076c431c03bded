// SPDX-License-Identifier: MIT
#include "ui/PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/AccessibleButton.h"
#include "ui/TextContrast.h"

namespace ombrel {

PictureBox::PictureBox(const QColor& colour, QWidget* parent) : QWidget(parent) {
  QPalette own;
  own.setColor(QPalette::Window, colour);
  setPalette(own);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::TabFocus);
  installAccessibleButtons();
}

void PictureBox::paintEvent(QPaintEvent*) {
  // The background fill paints the colour; a thin sunken edge keeps pale
  // swatches apart from the panel behind them.
  QPainter painter(this);
  const QRect box = rect().adjusted(0, 0, -1, -1);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(box.topLeft(), box.topRight());
  painter.drawLine(box.topLeft(), box.bottomLeft());
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(box.bottomLeft(), box.bottomRight());
  painter.drawLine(box.topRight(), box.bottomRight());
  // The focus mark is drawn here rather than by the style: some styles draw
  // it only in the highlight colour, which vanishes on a swatch of that hue.
  // A ring in the swatch's own text colour shows on every swatch.
  if (hasFocus()) {
    painter.setPen(QPen(textColourOn(colour()), 2));
    painter.drawRect(QRectF(rect()).adjusted(4, 4, -4, -4));
  }
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  // Space and Return pick the swatch under the focus mark, as a click does.
  // A held key picks it once.
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    if (!event->isAutoRepeat()) emit clicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) { click_.press(event); }

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (click_.release(event, *this)) emit clicked();
}

}  // namespace ombrel
