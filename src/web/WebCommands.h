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

// Hands `url` to the desktop; a text that does not start with "http" (in any
// case) is replaced by the maker's address. True when the desktop accepted it.
bool openBrowser(Shell& shell, QString url);

// Opens "http://" + the web-address box + "/". Failures are the browser's to show.
void openSite(Shell& shell, const QString& webAddress);

// Opens help.htm of the data directory with the desktop's default program.
void openHelp(Shell& shell, const storage::DataDirectory& dataDirectory);

void showAbout(Dialogs& dialogs);

void openMakerSite(Shell& shell);

}  // namespace ombrel
