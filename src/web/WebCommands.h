// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace ombrel {

class Dialogs;
class Shell;
namespace storage {
class DataDirectory;
}

// The maker's web site, opened by "Web Site" and used in place of any address
// that is not a web address.
inline const char* const kMakerAddress = "http://www.ombrel.example/";

// Whether the desktop took a URL, and if not, why, in words the user can read.
struct Opened {
  bool ok = false;
  QString reason;
};

// Hands `url` to the desktop; a text that does not start with "http" (in any
// case) is replaced by the maker's address.
Opened openBrowser(Shell& shell, QString url);

// The web address of the box as a URL: one that names its scheme (http:// or
// https://, in any case) stays as it is, any other text becomes "http://" +
// text + "/". Blanks around it are left out, blanks inside are escaped.
QString siteUrl(const QString& webAddress);

// Opens siteUrl(webAddress) in the browser; when no browser can be started
// the user is told the address and why.
void openSite(Shell& shell, Dialogs& dialogs, const QString& webAddress);

// Opens help.htm of the data directory with the desktop's default program.
void openHelp(Shell& shell, const storage::DataDirectory& dataDirectory);

void showAbout(Dialogs& dialogs);

void openMakerSite(Shell& shell);

}  // namespace ombrel
