// SPDX-License-Identifier: MIT
#include "entries/EntryCommands.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "datafolder/EntryRewrite.h"
#include "datafolder/FailureReport.h"
#include "datafolder/ListedNames.h"
#include "datafolder/WriteLock.h"
#include "interfaces/Dialogs.h"
#include "interfaces/WindowState.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "storage/ShiftCodec.h"
#include "text/StoredText.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

// An empty box is stored as an unset field.
storage::Field storedField(const std::string& stored) {
  if (stored.empty()) return std::nullopt;
  return stored;
}

Task entryTask(
    const storage::DataDirectory& data, const QString& consequence,
    const QString& writeFailure = QStringLiteral("The entry file could not be rewritten")) {
  return {data.file(storage::kEntryFile), writeFailure, consequence};
}

// Encodes the texts for the data files, or tells the user which character
// stops them and returns false.
bool encodeOrReport(std::initializer_list<std::pair<QString, std::string*>> texts, Dialogs& dialogs,
                    const QString& consequence) {
  for (auto& [plain, stored] : texts) {
    StoredText text = toStored(plain);
    if (!text.ok()) {
      dialogs.warn(unstorableCharacter(text.badCharacter, consequence));
      return false;
    }
    *stored = std::move(text.stored);
  }
  return true;
}

// The records the boxes were filled from when `name` was last picked; none
// for a name the user typed, whose records were never shown.
std::optional<std::string> recordsSeen(const ShownEntry& shown, const QString& name) {
  if (shown.known && shown.name == name) return shown.records;
  return std::nullopt;
}

// Why Save of an entry whose records are gone writes nothing.
QString deletedElsewhere(const QString& name, const QString& consequence) {
  return QStringLiteral(
             "The entry \"%1\" was deleted elsewhere after you opened it, so there "
             "is nothing to save it over.\n\nCreate it again with New to keep it. %2")
      .arg(name, consequence);
}

// Asked before Save or Delete acts on records that are no longer those the
// boxes were filled from.
bool overwriteChangesElsewhere(Dialogs& dialogs) {
  return dialogs.messageBox(
             "This entry was changed elsewhere after you opened it. Overwrite those changes?",
             kConfirm, "Changed Elsewhere") == kYes;
}

// What the loop below does when the records cannot be read before the
// question. A file that ends inside an entry is always refused at once.
enum class IfUnreadable {
  Refuse,
  AskAnyway,  // ask, and let the rewrite go ahead over what it finds, or say why not
};

// The loop Save and Delete share. It reads the records of the name as they
// are now (the whole file, so that damage is found before any question), asks
// about a change made elsewhere since the user saw them, lets `approve` judge
// them and ask its own question, and rewrites over exactly the records the
// answers were about. When they change again meanwhile, it goes round again.
// Nothing when the user declined or a failure was reported.
std::optional<RewriteResult> guardedRewrite(
    const storage::DataDirectory& data, Dialogs& dialogs, EntryRewrite rewrite,
    std::optional<std::string> seen, const Task& task, IfUnreadable ifUnreadable,
    const std::function<bool(const std::string& onDisk)>& approve) {
  for (;;) {
    const storage::NamedRecords onDisk = storedRecords(data, rewrite.key);
    const bool read = onDisk.status.ok();
    if (!read && (onDisk.status.isDamaged() || ifUnreadable == IfUnreadable::Refuse)) {
      report(dialogs, onDisk.status, task);
      return std::nullopt;
    }
    // Records already gone need no question: changing them changes nothing.
    if (read && !onDisk.written.empty() && seen && onDisk.written != *seen &&
        !overwriteChangesElsewhere(dialogs))
      return std::nullopt;
    if (!approve(onDisk.written)) return std::nullopt;
    rewrite.expected = read ? std::optional(onDisk.written) : std::nullopt;
    RewriteResult result = rewriteEntries(data, rewrite);
    switch (result.outcome) {
      case RewriteResult::Outcome::Written:
        return result;
      case RewriteResult::Outcome::Failed:
        report(dialogs, result.status, task);
        return std::nullopt;
      case RewriteResult::Outcome::ChangedElsewhere:
        seen = onDisk.written;
        break;
    }
  }
}

}  // namespace

void showSelectedEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
                       ShownEntry& shown) {
  int selected = window.selectedIndex();
  if (selected >= 0) window.setBoxText(Box::Web, window.nameAt(selected));

  StoredText key = toStored(window.boxText(Box::Web));
  shown = {window.boxText(Box::Web), std::string(), false};
  // An empty name reads no record; a name that cannot be stored has none.
  // Every record of the name is read, not only the one shown, so that Save
  // and Delete can tell whether any of them changed elsewhere since.
  storage::NamedRecords found;
  if (key.ok() && !key.stored.empty()) {
    found = storedRecords(data, key.stored);
    shown.known = found.status.ok();
    shown.records = found.written;
    if (found.status.isReadFailure())
      report(dialogs, found.status, entryTask(data, QStringLiteral("The entry is not shown.")));
  }
  const storage::Record entry = found.first.value_or(storage::Record{});
  window.setBoxText(Box::User, fromStored(storage::textOf(entry.user)));
  window.setBoxText(Box::Password, fromStored(storage::textOf(entry.password)));
  window.setBoxText(Box::Notes, fromStored(storage::textOf(entry.notes)));
}

void newEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
              const QString& firstPrompt) {
  const Task task = entryTask(data, QStringLiteral("The entry was not created."),
                              QStringLiteral("The entry could not be added to the entry file"));
  if (const storage::Status damage = entryFileDamage(data); !damage.ok())
    return report(dialogs, damage, task);
  QString name = dialogs.inputBox(firstPrompt, "Web Site");
  if (name.isEmpty()) return;
  QString user = dialogs.inputBox("User Name", "User Name");
  QString password = dialogs.passwordBox("Password", "Password");

  std::string storedName, storedUser, storedPassword;
  if (!encodeOrReport({{name, &storedName}, {user, &storedUser}, {password, &storedPassword}},
                      dialogs, task.consequence))
    return;
  const storage::Record record{storedName, storedField(storedUser), storedField(storedPassword),
                               std::string()};
  if (const storage::Status status = addEntries(data, {record}); !status.ok())
    return report(dialogs, status, task);
  window.addName(name);
}

void saveEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
               ShownEntry& shown) {
  const Task task = entryTask(data, QStringLiteral("Nothing was saved."));
  const QString name = window.boxText(Box::Web);
  std::string key, user, password, notes;
  if (!encodeOrReport({{name, &key},
                       {window.boxText(Box::User), &user},
                       {window.boxText(Box::Password), &password},
                       {window.boxText(Box::Notes), &notes}},
                      dialogs, task.consequence))
    return;
  const storage::Record replacement{key, storedField(user), storedField(password),
                                    storedField(notes)};
  const std::optional<std::string> seen = recordsSeen(shown, name);

  bool confirmed = false;
  const auto saved = guardedRewrite(
      data, dialogs, {key, replacement, {}}, seen, task, IfUnreadable::Refuse,
      [&](const std::string& onDisk) {
        if (onDisk.empty()) {
          // Save never creates an entry; a name without a record is left alone.
          if (seen && !seen->empty()) dialogs.warn(deletedElsewhere(name, task.consequence));
          return false;
        }
        return std::exchange(confirmed, true) ||
               dialogs.messageBox("This file already exists. Do you want to overwrite the file?",
                                  kConfirm, "OverwriteFile") == kYes;
      });
  if (!saved) return;
  std::string records;
  for (std::size_t i = 0; i < saved->found.count; ++i) storage::appendRecord(records, replacement);
  shown = {name, records, true};
}

void deleteEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
                 ShownEntry& shown) {
  const Task task = entryTask(data, QStringLiteral("Nothing was deleted."));
  const QString name = window.boxText(Box::Web);
  std::string key;
  if (!encodeOrReport({{name, &key}}, dialogs, task.consequence)) return;

  bool confirmed = false;
  const auto deleted = guardedRewrite(
      data, dialogs, {key, std::nullopt, {}}, recordsSeen(shown, name), task,
      IfUnreadable::AskAnyway, [&](const std::string&) {
        if (std::exchange(confirmed, true)) return true;
        if (dialogs.messageBox("Are you sure you want to delete the file " + name + "?", kConfirm,
                               "Delete File") == kYes)
          return true;
        dialogs.messageBox("Operation Aborted", kPlainOk);
        return false;
      });
  if (!deleted) return;
  // Every record of the name is gone, so every list item of it goes too.
  window.removeName(name);
  for (Box box : {Box::Web, Box::User, Box::Password}) window.setBoxText(box, QString());
  shown = {};
}

namespace {

// The records of an entry file kept in plain text, in stored form, as the
// record writer writes them; `unencodable` gets the first byte that the
// shift encoding cannot carry, and nothing is converted then.
storage::Status convertPlainRecords(storage::ByteSource& plain, std::string& out,
                                    std::optional<unsigned char>& unencodable) {
  storage::RecordReader reader(plain);
  return reader.forEachRecord([&](const storage::RecordView& view) {
    const storage::Record record = storage::recordOf(view);
    storage::Record encoded;
    for (auto [from, to] :
         {std::pair{&record.name, &encoded.name}, std::pair{&record.user, &encoded.user},
          std::pair{&record.password, &encoded.password},
          std::pair{&record.notes, &encoded.notes}}) {
      storage::ShiftResult shifted = storage::shiftEncode(storage::textOf(*from));
      if (!shifted.ok()) {
        unencodable = static_cast<unsigned char>(storage::textOf(*from)[shifted.firstBad]);
        reader.stop();
        return storage::Status::success();
      }
      *to = std::move(shifted.text);
    }
    storage::appendRecord(out, encoded);
    return storage::Status::success();
  });
}

}  // namespace

void encodePlainEntryFile(const storage::DataDirectory& data, Dialogs& dialogs) {
  const Task reading = entryTask(data, QStringLiteral("Nothing was written."));
  const Task writing{data.file(storage::kTempEntryFile),
                     QStringLiteral("The converted entries could not be written"),
                     reading.consequence};
  std::optional<unsigned char> unencodable;
  storage::Status status = storage::Status::success();
  bool written = false;
  {
    const WriteLock lock = WriteLock::take(data);
    status = lock.status();
    storage::InputFile file;
    if (status.ok()) status = file.open(reading.file);
    std::string out;
    if (status.ok()) status = convertPlainRecords(file, out, unencodable);
    if (status.ok() && !unencodable) {
      status = storage::appendToFile(writing.file, out);
      written = true;
    }
  }
  if (unencodable) {
    // Most likely the file is stored already; a partial copy would be worse
    // than none.
    dialogs.warn(QStringLiteral("The entry file holds a character (code %1) that cannot be "
                                "encoded; it may be encoded already.\n\n%2")
                     .arg(*unencodable)
                     .arg(reading.consequence));
  } else if (!status.ok()) {
    report(dialogs, status, written ? writing : reading);
  }
}

void loadTempEntryNames(WindowState& window, const storage::DataDirectory& data) {
  window.clearNames();
  window.addNames(readListedNames(data.file(storage::kTempEntryFile)).names);
}

}  // namespace ombrel
