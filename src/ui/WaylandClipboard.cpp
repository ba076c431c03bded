// SPDX-License-Identifier: MIT
#include "ui/WaylandClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

namespace ombrel {

void finishWaylandClipboardClear() {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  QGuiApplication::clipboard()->setMimeData(new QMimeData, QClipboard::Clipboard);
  if (QGuiApplication::applicationState() == Qt::ApplicationActive) return;
  const QString wlCopy = QStandardPaths::findExecutable(QStringLiteral("wl-copy"));
  if (!wlCopy.isEmpty()) QProcess::startDetached(wlCopy, {QStringLiteral("--clear")});
}

}  // namespace ombrel
