// SPDX-License-Identifier: MIT
#include "startup/Startup.h"

#include <QStringList>
#include <string>

#include "entries/ListedNames.h"
#include "seams/Dialogs.h"
#include "seams/StoredText.h"
#include "seams/UserMessages.h"
#include "seams/WindowState.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"

namespace ombrel {
void applySavedColour(WindowState& window, const storage::DataDirectory& data) {
  std::string bytes;
  if (!storage::readWholeFile(data.file(storage::kColourFile), bytes)) return;
  // A missing, empty or non-numeric colour file keeps the design colour, white:
  // black would hide the labels' black texts.
  if (const auto colour = storage::readNumberField(bytes)) window.setBackgroundColour(*colour);
}

namespace {

// Asks for the master password with the dialogs, and tells the user when the
// gate stays shut; Ready when it lets the user in.
StartupOutcome passGate(const storage::DataDirectory& data, Dialogs& dialogs) {
  switch (checkMasterPassword(
      data, [&dialogs] { return dialogs.inputBox("Enter the Password", "Password"); })) {
    case PasswordCheck::MissingFile:
      dialogs.messageBox(kPasswordFileTampered, kCriticalOk,
                         "Password File has been tampered with!");
      return StartupOutcome::NoPasswordFile;
    case PasswordCheck::NoPassword:
      dialogs.warn(
          "The Ombrel has no password. Click on 'Ombrel' and click 'Change Password' to asign a "
          "password.");
      return StartupOutcome::Ready;
    case PasswordCheck::Wrong:
      dialogs.messageBox("The password you have entered is incorrect. This program will end now.",
                         kCriticalOk, "Wrong Password!");
      return StartupOutcome::WrongPassword;
    case PasswordCheck::Accepted:
      break;
  }
  return StartupOutcome::Ready;
}

void listStoredNames(WindowState& window, const storage::DataDirectory& data,
                     std::size_t* damagedTail) {
  // A missing or unreadable entry file leaves the list empty; the first New
  // creates the file. One that cannot be read whole lists the entries before
  // the damage or the read error.
  ListedNames listed = readListedNames(data.file(storage::kEntryFile));
  if (damagedTail) *damagedTail = listed.status.damagedTail();
  window.addNames(std::move(listed.names));
}

}  // namespace

PasswordCheck checkMasterPassword(const storage::DataDirectory& data,
                                  const std::function<QString()>& askPassword) {
  const auto passwordFile = data.file(storage::kPasswordFile);
  if (!storage::isPresentFile(passwordFile)) return PasswordCheck::MissingFile;

  std::string bytes;
  // An unreadable pw.dat counts as an empty one: only an empty answer passes.
  if (!storage::readWholeFile(passwordFile, bytes)) bytes.clear();
  const std::string_view storedLine = storage::firstLine(bytes);
  if (storedLine == kNoPasswordMarker) return PasswordCheck::NoPassword;
  // Characters that cannot be shifted are left out, just as when the password
  // was set, so both sides compare the same way.
  return toStored(askPassword()).stored == storedLine ? PasswordCheck::Accepted
                                                      : PasswordCheck::Wrong;
}

StartupOutcome runStartup(WindowState& window, storage::DataDirectory& data, Dialogs& dialogs,
                          std::size_t* damagedTail) {
  if (damagedTail) *damagedTail = 0;
  for (Box box : {Box::Web, Box::User, Box::Password, Box::Notes})
    window.setBoxText(box, QString());

  data.applyLegacyRule();
  applySavedColour(window, data);

  if (const StartupOutcome outcome = passGate(data, dialogs); outcome != StartupOutcome::Ready)
    return outcome;

  listStoredNames(window, data, damagedTail);
  return StartupOutcome::Ready;
}

void warnDamagedEntryFile(const storage::DataDirectory& data, Dialogs& dialogs,
                          std::size_t damagedTail) {
  if (damagedTail == 0) return;
  dialogs.warn(damagedEntryFile(data.file(storage::kEntryFile), damagedTail,
                                "The entries before it are listed; the one it ends in is not."));
}

}  // namespace ombrel
