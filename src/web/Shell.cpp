#include "web/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace ombrel {

bool DesktopShell::openUrl(const QString& url) {
  // Tolerant parsing hands the address on as the user typed it, as far as a
  // URL can carry it; it never passes through a command line.
  return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

bool DesktopShell::openLocalFile(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace ombrel
