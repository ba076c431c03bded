// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string_view>

namespace ombrel {

class Dialogs;
class WindowState;
namespace storage {
class DataDirectory;
}

// The line of pw.dat that means "no master password is set", as stored. Only
// a fresh installation writes it; typed passwords cannot produce it, since its
// plain form is four control characters.
inline constexpr std::string_view kNoPasswordMarker = "efgh";

// What start-up says when pw.dat is missing; the command line says the same.
inline const char* const kPasswordFileTampered =
    "The password file has been erased or tampered with! This program will now close!";

// How the master password gate judged the data directory.
enum class PasswordCheck {
  Accepted,     // the answer matches the stored password
  NoPassword,   // pw.dat holds the no-password marker: nothing was asked
  Wrong,        // the answer does not match
  MissingFile,  // pw.dat is not there (or a folder stands in its place): nothing was asked
};

// The master password gate: tests that pw.dat is present, reads its first
// line and, unless it is the no-password marker, asks `askPassword` for the
// answer and compares it as stored. Start-up and the command line both pass
// through it, each asking and telling the user in its own way.
PasswordCheck checkMasterPassword(const storage::DataDirectory& dataDirectory,
                                  const std::function<QString()>& askPassword);

enum class StartupOutcome {
  Ready,           // the window may be shown with the entries listed
  NoPasswordFile,  // pw.dat is missing: the program ends
  WrongPassword,   // the answer did not match: the program ends
};

// Runs once before the window is shown: empties the detail boxes, settles the
// data directory (the one step that may change it), applies the saved colour, guards the window
// with the master password and lists the stored entries. Steps that fail (an unreadable file, a
// character that cannot be shifted) are skipped, never fatal; only a missing pw.dat or a wrong
// answer ends the program. `damagedTail`, when given, gets what warnDamagedEntryFile needs: the
// number of bytes after the last whole entry when the entry file ends inside one, 0 otherwise.
StartupOutcome runStartup(WindowState& window, storage::DataDirectory& dataDirectory,
                          Dialogs& dialogs, std::size_t* damagedTail = nullptr);

// Once the window is shown with the entries that could be read: tells the
// user that the entry file ends inside an entry and stays as it is until it
// is repaired. Nothing when `damagedTail` is 0.
void warnDamagedEntryFile(const storage::DataDirectory& dataDirectory, Dialogs& dialogs,
                          std::size_t damagedTail);

// Sets the window's colour from pwclr.dat; a missing, empty or non-numeric
// file leaves it as it is.
void applySavedColour(WindowState& window, const storage::DataDirectory& dataDirectory);

}  // namespace ombrel
