#include "web/WebCommands.h"

#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "ui/Dialogs.h"
#include "ui/UserMessages.h"
#include "web/Shell.h"

namespace ombrel {

bool openBrowser(Shell& shell, QString url) {
  if (!url.startsWith("http", Qt::CaseInsensitive)) url = kMakerAddress;
  return shell.openUrl(url);
}

void openSite(Shell& shell, const QString& webAddress) {
  openBrowser(shell, "http://" + webAddress + "/");
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
