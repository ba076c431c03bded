// SPDX-License-Identifier: MIT
#include "startup/Startup.h"

#include <QStringList>
#include <string>

#include "colour/WindowColour.h"
#include "datafolder/ListedNames.h"
#include "interfaces/Dialogs.h"
#include "interfaces/WindowState.h"
#include "password/PasswordGate.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/LineFormat.h"
#include "text/StoredText.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

// Asks for the master password with the dialogs, and tells the user when the
// gate stays shut; Ready when it lets the user in.
StartupOutcome passGate(const storage::DataDirectory& data, Dialogs& dialogs) {
  const GateOutcome gate = checkMasterPassword(
      data, [&dialogs] { return dialogs.passwordBox("Enter the Password", "Password"); });
  switch (gate.check) {
    case PasswordCheck::MissingFile:
      dialogs.messageBox(kPasswordFileTampered, kCriticalOk,
                         "Password File has been tampered with!");
      return StartupOutcome::NoPasswordFile;
    case PasswordCheck::Unreadable:
      dialogs.messageBox(gate.problem, kCriticalOk, QStringLiteral("Ombrel"));
      return StartupOutcome::UnreadablePasswordFile;
    case PasswordCheck::NoPassword:
      dialogs.warn(
          "The Ombrel has no password. Click on 'Ombrel' and click 'Change Password' to asign a "
          "password.");
      return StartupOutcome::Ready;
    case PasswordCheck::Wrong:
    case PasswordCheck::NoAnswer:  // the prompt always answers; this is for the safe side
      dialogs.messageBox("The password you have entered is incorrect. This program will end now.",
                         kCriticalOk, "Wrong Password!");
      return StartupOutcome::WrongPassword;
    case PasswordCheck::Accepted:
      break;
  }
  return StartupOutcome::Ready;
}

// The bytes after the last whole entry when the entry file ends inside one.
std::size_t listStoredNames(WindowState& window, const storage::DataDirectory& data) {
  // A missing or unreadable entry file leaves the list empty; the first New
  // creates the file. One that cannot be read whole lists the entries before
  // the damage or the read error.
  ListedNames listed = readListedNames(data.file(storage::kEntryFile));
  window.addNames(std::move(listed.names));
  return listed.status.damagedTail();
}

}  // namespace

Startup runStartup(WindowState& window, storage::DataDirectory& data, Dialogs& dialogs) {
  for (Box box : {Box::Web, Box::User, Box::Password, Box::Notes})
    window.setBoxText(box, QString());

  data.applyLegacyRule();
  applySavedColour(window, data);

  if (const StartupOutcome outcome = passGate(data, dialogs); outcome != StartupOutcome::Ready)
    return {outcome};
  return {StartupOutcome::Ready, listStoredNames(window, data)};
}

void warnDamagedEntryFile(const storage::DataDirectory& data, Dialogs& dialogs,
                          std::size_t damagedTail) {
  if (damagedTail == 0) return;
  dialogs.warn(damagedEntryFile(data.file(storage::kEntryFile), damagedTail,
                                "The entries before it are listed; the one it ends in is not."));
}

}  // namespace ombrel
