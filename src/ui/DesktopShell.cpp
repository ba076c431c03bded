// SPDX-License-Identifier: MIT
#include "ui/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace ombrel {

bool DesktopShell::openUrl(const QString& url, QString& reason) {
  // Tolerant parsing hands the address on as the user typed it, as far as a
  // URL can carry it; it never passes through a command line.
  const QUrl parsed(url, QUrl::TolerantMode);
  if (!parsed.isValid()) {
    // The first part says what is wrong; the rest repeats the URL in pieces.
    reason = parsed.errorString().section(QStringLiteral("; "), 0, 0);
    return false;
  }
  if (QDesktopServices::openUrl(parsed)) return true;
  reason = QStringLiteral("No program for web addresses could be started");
  return false;
}

bool DesktopShell::openLocalFile(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace ombrel
