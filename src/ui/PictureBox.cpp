#include "ui/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace ombrel {

PictureBox::PictureBox(const QColor& colour, QWidget* parent) : QWidget(parent) {
  QPalette own;
  own.setColor(QPalette::Window, colour);
  setPalette(own);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::TabFocus);
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
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(2, 2, -2, -2);
    option.backgroundColor = colour();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool wasPressed = pressed_;
  pressed_ = false;
  event->accept();
  if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace ombrel
