// SPDX-License-Identifier: MIT
#include "startup/Startup.h"

#include <QStringList>
#include <string>

#include "storage/DataFiles.h"
#include "storage/LineFormat.h"
#include "ui/Dialogs.h"
#include "ui/StoredText.h"
#include "ui/UserMessages.h"
#include "ui/WindowState.h"

namespace ombrel {
void applySavedColour(WindowState& window) {
  std::string bytes;
  if (!storage::readWholeFile(window.dataDirectory().file(storage::kColourFile), bytes)) return;
  // A missing, empty or non-numeric colour file keeps the design colour, white:
  // black would hide the labels' black texts.
  if (const auto colour = storage::readNumberField(bytes)) window.setBackgroundColour(*colour);
}

namespace {

// True when the master password gate lets the user in.
bool passwordAccepted(const std::string& storedLine, Dialogs& dialogs) {
  if (storedLine == kNoPasswordMarker) {
    dialogs.messageBox(
        "The Ombrel has no password. Click on 'Ombrel' and click 'Change Password' to asign a "
        "password.",
        kWarningOk, "Ombrel");
    return true;
  }
  QString answer = dialogs.inputBox("Enter the Password", "Password");
  // Characters that cannot be shifted are left out, just as when the password
  // was set, so both sides compare the same way.
  if (toStored(answer).stored == storedLine) return true;
  dialogs.messageBox("The password you have entered is incorrect. This program will end now.",
                     kCriticalOk, "Wrong Password!");
  return false;
}

void listStoredNames(WindowState& window, std::size_t* damagedTail) {
  // A missing or unreadable entry file leaves the list empty; the first New
  // creates the file.
  window.addNames(readListedNames(window.dataDirectory().file(storage::kEntryFile), damagedTail));
}

}  // namespace

StartupOutcome runStartup(WindowState& window, Dialogs& dialogs, std::size_t* damagedTail) {
  if (damagedTail) *damagedTail = 0;
  for (Box box : {Box::Web, Box::User, Box::Password, Box::Notes}) window.setBoxText(box, QString());

  window.dataDirectory().applyLegacyRule();
  applySavedColour(window);

  const auto passwordFile = window.dataDirectory().file(storage::kPasswordFile);
  if (!storage::isPresentFile(passwordFile)) {
    dialogs.messageBox(
        "The password file has been erased or tampered with! This program will now close!",
        kCriticalOk, "Password File has been tampered with!");
    return StartupOutcome::NoPasswordFile;
  }

  std::string bytes;
  // An unreadable pw.dat counts as an empty one: only an empty answer passes.
  if (!storage::readWholeFile(passwordFile, bytes)) bytes.clear();
  if (!passwordAccepted(std::string(storage::firstLine(bytes)), dialogs))
    return StartupOutcome::WrongPassword;

  listStoredNames(window, damagedTail);
  return StartupOutcome::Ready;
}

void warnDamagedEntryFile(WindowState& window, Dialogs& dialogs, std::size_t damagedTail) {
  if (damagedTail == 0) return;
  dialogs.messageBox(
      damagedEntryFile(window.dataDirectory().file(storage::kEntryFile), damagedTail,
                       "The entries before it are listed; the one it ends in is not."),
      kWarningOk, "Ombrel");
}

}  // namespace ombrel
