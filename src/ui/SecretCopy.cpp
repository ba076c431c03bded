// SPDX-License-Identifier: MIT
#include "ui/SecretCopy.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

#include "ui/WaylandClipboard.h"

namespace ombrel {

SecretCopy::SecretCopy(std::chrono::milliseconds clearDelay, QObject* parent) : QObject(parent) {
  clearTimer_.setSingleShot(true);
  clearTimer_.setInterval(clearDelay);
  connect(&clearTimer_, &QTimer::timeout, this, &SecretCopy::clearCopy);
  // As the program ends, Qt hands whatever it still has on the clipboard to
  // the desktop's clipboard manager, which would keep our copy for good. The
  // owner normally goes before that; the end of the event loop covers one
  // that outlives it.
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          &SecretCopy::clearCopy);
}

SecretCopy::~SecretCopy() { clearCopy(); }

void SecretCopy::put(const QString& text) {
  if (text.isEmpty()) return;
  auto* data = new QMimeData;
  data->setText(text);
  // The hint that KDE's clipboard manager set up and others follow: such a
  // copy may be pasted but is kept in no history.
  data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
  QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
  copy_ = data;
  clearTimer_.start();
}

// Takes our copy back unless the clipboard holds something else by now: a
// later copy, in this program or another, is the user's to keep. Asking for
// the clipboard's data asks the X server who owns it, so a copy made in
// another program counts even before Qt has been told of it.
void SecretCopy::clearCopy() {
  clearTimer_.stop();
  if (!copy_) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->mimeData(QClipboard::Clipboard) == copy_) {
    clipboard->clear(QClipboard::Clipboard);
    finishWaylandClipboardClear();
  }
  copy_.clear();
}

}  // namespace ombrel
