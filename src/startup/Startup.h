// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace ombrel {

class Dialogs;
class WindowState;
namespace storage {
class DataDirectory;
}

enum class StartupOutcome {
  Ready,                   // the window may be shown with the entries listed
  NoPasswordFile,          // pw.dat is missing: the program ends
  UnreadablePasswordFile,  // pw.dat is there but cannot be read: the program ends
  WrongPassword,           // the answer did not match: the program ends
};

// What start-up found.
struct Startup {
  StartupOutcome outcome = StartupOutcome::Ready;
  // For warnDamagedEntryFile(): the bytes after the last whole entry when the
  // entry file ends inside one, 0 otherwise.
  std::size_t damagedTail = 0;
};

// Runs once before the window is shown: empties the detail boxes, settles the
// data directory (the one step that may change it), applies the saved colour,
// guards the window with the master password and lists the stored entries.
// Steps that fail (an unreadable file, a character that cannot be shifted) are
// skipped, never fatal; only a missing or unreadable pw.dat or a wrong answer
// ends the program.
Startup runStartup(WindowState& window, storage::DataDirectory& dataDirectory, Dialogs& dialogs);

// Once the window is shown with the entries that could be read: tells the
// user that the entry file ends inside an entry and stays as it is until it
// is repaired. Nothing when `damagedTail` is 0.
void warnDamagedEntryFile(const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
                          std::size_t damagedTail);

}  // namespace ombrel
