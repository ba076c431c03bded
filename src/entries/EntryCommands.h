// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>

namespace ombrel {

class Dialogs;
class WindowState;
namespace storage {
class DataDirectory;
}

// The first question of New, as the menu item and the New image ask it.
inline const char* const kNewEntryPrompt = "URL of Web Site (example: www.example.com)";
// ... and as the buttons of the hidden panel ask it.
inline const char* const kNewEntryPanelPrompt = "Name Web Site";

// What the boxes were last filled from: the picked name and every stored
// record of it at that moment, as the record writer writes them. Save and
// Delete compare it with the file to tell a change made elsewhere since
// (another window, a sync from another machine).
struct ShownEntry {
  QString name;
  std::string records;
  bool known = false;
};

// Shows the entry picked in the list: its name in the web-address box, its
// user name, password and notes read afresh from the entry file. A name with
// no record, or a missing entry file, shows empty boxes; so does a file that
// cannot be read, and the user is told why.
void showSelectedEntry(WindowState& window, const storage::DataDirectory& dataDirectory,
                       Dialogs& dialogs, ShownEntry& shown);

// Asks for a web address, a user name and a password, adds the entry at the
// end of the entry file and lists it. The file is replaced in one step; one
// whose last entry is cut off is left alone, as Save and Delete leave it.
void newEntry(WindowState& window, const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
              const QString& firstPrompt);

// Writes the four boxes over every record named like the web-address box,
// after the user confirms.
void saveEntry(WindowState& window, const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
               ShownEntry& shown);

// Removes every record and list item named like the web-address box, after
// the user confirms.
void deleteEntry(WindowState& window, const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
                 ShownEntry& shown);

// Maintenance: appends the records of an entry file kept in plain text to
// passwords2.dat in stored form.
void encodePlainEntryFile(const storage::DataDirectory& dataDirectory, Dialogs& dialogs);

// Maintenance: lists the names of passwords2.dat instead of the current ones.
void loadTempEntryNames(WindowState& window, const storage::DataDirectory& dataDirectory);

}  // namespace ombrel
