// SPDX-License-Identifier: MIT
#include "web/WebCommands.h"

#include "interfaces/Dialogs.h"
#include "interfaces/Shell.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "text/UserMessages.h"

namespace ombrel {

Opened openBrowser(Shell& shell, QString url) {
  if (!url.startsWith("http", Qt::CaseInsensitive)) url = kMakerAddress;
  Opened opened;
  opened.ok = shell.openUrl(url, opened.reason);
  return opened;
}

QString siteUrl(const QString& webAddress) {
  // Blanks typed or pasted around an address are never part of it; inside
  // one they would cut the URL short.
  QString address = webAddress.trimmed();
  address.replace(u' ', QStringLiteral("%20"));
  // Latin-1 views and one allocation for the result: the export makes the
  // URL of every entry.
  for (QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")})
    if (address.startsWith(scheme, Qt::CaseInsensitive)) return address;
  QString url;
  url.reserve(address.size() + 8);
  url += QLatin1String("http://");
  url += address;
  url += u'/';
  return url;
}

void openSite(Shell& shell, Dialogs& dialogs, const QString& webAddress) {
  const QString url = siteUrl(webAddress);
  const Opened opened = openBrowser(shell, url);
  if (opened.ok) return;
  dialogs.warn(
      QStringLiteral("The web site could not be opened:\n%1\n\n%2.").arg(url, opened.reason));
}

void openHelp(Shell& shell, const storage::DataDirectory& dataDirectory) {
  shell.openLocalFile(displayPath(dataDirectory.file(storage::kHelpFile)));
}

void showAbout(Dialogs& dialogs) {
  dialogs.messageBox(
      QStringLiteral("Ombrel, version 1.0, keeps your web-site logins - address, user name, "
                     "password and notes - behind one master password. Written by Tavik, "
                     "\u00A9 2026 Tavik."),
      kInformationOk, "About Ombrel");
}

void openMakerSite(Shell& shell) { openBrowser(shell, kMakerAddress); }

}  // namespace ombrel
