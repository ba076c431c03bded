// SPDX-License-Identifier: MIT
#include "ui/DeleteKeyFilter.h"

#include <QKeyEvent>

namespace ombrel {

bool DeleteKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
      return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace ombrel
