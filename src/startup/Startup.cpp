#include "startup/Startup.h"

#include <QStringList>
#include <string>

#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/LineFormat.h"
#include "storage/RecordReader.h"
#include "ui/Dialogs.h"
#include "ui/StoredText.h"
#include "ui/WindowState.h"

namespace ombrel {
namespace {

void applySavedColour(WindowState& window) {
  std::string bytes;
  if (!storage::readWholeFile(window.dataDirectory().file(storage::kColourFile), bytes)) return;
  // A missing, empty or non-numeric colour file keeps the design colour, white:
  // black would hide the labels' black texts.
  auto number = storage::readNumberField(bytes);
  if (number.status == storage::NumberField::Status::Ok) window.setBackgroundColour(number.value);
}

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

void listStoredNames(WindowState& window) {
  storage::InputFile file;
  // A missing or unreadable entry file leaves the list empty; the first New
  // creates the file.
  if (!file.open(window.dataDirectory().file(storage::kEntryFile))) return;
  // The file is read a block at a time and each name decoded as soon as its
  // record is read, so that the file is never held whole beside the names. A
  // record cut off at the end of the file (or by a read error) is left out;
  // the names before it are listed.
  storage::FileRecordReader reader(file);
  QStringList names;
  storage::forEachStoredName(reader,
                             [&names](std::string_view name) { names.append(fromStored(name)); });
  window.addNames(names);
}

}  // namespace

StartupOutcome runStartup(WindowState& window, Dialogs& dialogs) {
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

  listStoredNames(window);
  return StartupOutcome::Ready;
}

}  // namespace ombrel
