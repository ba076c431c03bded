// SPDX-License-Identifier: MIT
#include "entries/EntryCommands.h"

#include <QStringList>
#include <cerrno>
#include <functional>
#include <optional>
#include <string>

#include "entries/ListedNames.h"
#include "entries/WriteLock.h"
#include "seams/Dialogs.h"
#include "seams/StoredText.h"
#include "seams/UserMessages.h"
#include "seams/WindowState.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "storage/ShiftCodec.h"

namespace ombrel {
namespace {

// An empty box is stored as an unset field.
storage::Field storedField(const std::string& stored) {
  if (stored.empty()) return std::nullopt;
  return stored;
}

std::filesystem::path entryFile(const storage::DataDirectory& data) {
  return data.file(storage::kEntryFile);
}

// Stores the texts, or tells the user which character stops them and returns
// false.
bool storeAll(std::initializer_list<std::pair<QString, std::string*>> texts, Dialogs& dialogs,
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

void reportUnreadable(const storage::DataDirectory& data, Dialogs& dialogs,
                      const QString& consequence, const storage::Status& status) {
  dialogs.warn(fileProblem("The entry file could not be read", entryFile(data), status) + "\n\n" +
               consequence);
}

bool readEntryFile(const storage::DataDirectory& data, Dialogs& dialogs, const QString& consequence,
                   std::string& bytes) {
  auto status = storage::readWholeFile(entryFile(data), bytes);
  if (!status) reportUnreadable(data, dialogs, consequence, status);
  return status.ok();
}

bool openEntryFile(const storage::DataDirectory& data, Dialogs& dialogs, const QString& consequence,
                   storage::InputFile& file) {
  auto status = file.open(entryFile(data));
  if (!status) reportUnreadable(data, dialogs, consequence, status);
  return status.ok();
}

// `tail`: the bytes after the last whole entry, 0 when not known.
void reportDamaged(const storage::DataDirectory& data, Dialogs& dialogs, const QString& consequence,
                   std::size_t tail = 0) {
  dialogs.warn(damagedEntryFile(entryFile(data), tail, consequence));
}

// Tells the user and returns true when the entry file ends inside an entry,
// so that a command refuses before it asks anything. A file that is missing
// or cannot be read is left for the command itself to meet.
bool refuseDamaged(const storage::DataDirectory& data, Dialogs& dialogs,
                   const QString& consequence) {
  storage::InputFile file;
  if (!file.open(entryFile(data))) return false;
  storage::FileRecordReader reader(file);
  const std::size_t tail = storage::damagedTail(reader);
  if (tail == 0 || !reader.status()) return false;
  reportDamaged(data, dialogs, consequence, tail);
  return true;
}

// Writes a new entry file from what `copy` passes on while it reads the old
// one, and puts it in place in one step. Records go to the temp file as they
// are read, so that neither version of the file is ever held whole. Until
// commit() the entry file is untouched, and any way out before it removes the
// temp again; on any failure the user is told what stayed as it was. A missing
// entry file reads as an empty one when `createMissing`. The whole of it runs
// under the data directory's write lock, so that another program cannot
// rewrite the file between our read and our rename. `accept`, when given, sees
// the finished copy before it is put in place; when it refuses, nothing is
// written and nothing said. True when written.
using EntryCopy = std::function<storage::RewriteCount(
    storage::RecordReader&, const std::function<bool(std::string_view)>&)>;
using AcceptCopy = std::function<bool(const storage::RewriteCount&)>;

bool replaceEntryFile(const storage::DataDirectory& data, Dialogs& dialogs,
                      const QString& consequence, const QString& writeFailure, bool createMissing,
                      const EntryCopy& copy, const AcceptCopy& accept = {}) {
  const auto lock = lockForWriting(data, dialogs, consequence);
  if (!lock) return false;
  const auto path = entryFile(data);
  storage::InputFile file;
  bool missing = false;
  if (auto status = file.open(path); !status) {
    missing = createMissing && status.error() == ENOENT;
    if (!missing) {
      reportUnreadable(data, dialogs, consequence, status);
      return false;
    }
  }
  auto reportUnwritable = [&](const storage::Status& status) {
    dialogs.warn(fileProblem(writeFailure, path, status) + "\n\n" + consequence);
    return false;
  };

  // The file holds passwords: it ends private to its owner, however it was
  // shared before.
  storage::Replacement newFile(path, data.file(storage::kTempEntryFile),
                               storage::Permissions::OwnerOnly);
  if (auto status = newFile.open(); !status) return reportUnwritable(status);
  storage::Status written = storage::Status::success();
  auto write = [&](std::string_view piece) {
    written = newFile.write(piece);
    return written.ok();
  };
  storage::RecordReader nothing{std::string_view()};
  storage::FileRecordReader reader(file);
  const storage::RewriteCount count = missing ? copy(nothing, write) : copy(reader, write);
  if (!written) return reportUnwritable(written);
  // A read that failed half-way must not pass for the end of the file, or the
  // records after it would be lost.
  if (!reader.status()) {
    reportUnreadable(data, dialogs, consequence, reader.status());
    return false;
  }
  if (count.damaged) {
    reportDamaged(data, dialogs, consequence);
    return false;
  }
  if (accept && !accept(count)) return false;
  if (auto status = newFile.commit(); !status) return reportUnwritable(status);
  return true;
}

// Rewrites the entry file with every record named `key` replaced (or dropped
// when `replacement` is empty), provided the records of that name are still
// `expected` (when given); `changed` tells that they were not and nothing was
// written.
bool rewriteEntryFile(const storage::DataDirectory& data, Dialogs& dialogs, const std::string& key,
                      const std::optional<storage::Record>& replacement, const QString& consequence,
                      const std::string* expected, bool& changed, std::size_t* matched = nullptr) {
  changed = false;
  return replaceEntryFile(
      data, dialogs, consequence, "The entry file could not be rewritten", false,
      [&](storage::RecordReader& reader, const std::function<bool(std::string_view)>& write) {
        return storage::rewriteEntries(reader, key, replacement, write);
      },
      [&](const storage::RewriteCount& count) {
        changed = expected && count.matchedRecords != *expected;
        if (matched) *matched = count.matched;
        return !changed;
      });
}

// The records now stored under `key`, as the record writer writes them. False
// when the file cannot be read whole (missing, unreadable, cut off): the
// rewrite then reports it.
bool storedRecords(const storage::DataDirectory& data, const std::string& key, std::string& records,
                   std::optional<storage::Record>* first = nullptr) {
  records.clear();
  storage::InputFile file;
  if (!file.open(entryFile(data))) return false;
  storage::FileRecordReader reader(file);
  std::size_t tail = 0;
  records = storage::recordsNamed(reader, key, &tail, first);
  return reader.status().ok() && tail == 0;
}

// Asked before Save or Delete acts on records that are no longer those the
// boxes were filled from.
bool overwriteChangesElsewhere(Dialogs& dialogs) {
  return dialogs.messageBox(
             "This entry was changed elsewhere after you opened it. Overwrite those changes?",
             kConfirm, "Changed Elsewhere") == kYes;
}

}  // namespace

void showSelectedEntry(WindowState& window, const storage::DataDirectory& data) {
  int selected = window.selectedIndex();
  if (selected >= 0) window.setBoxText(Box::Web, window.nameAt(selected));

  std::optional<storage::Record> record;
  StoredText key = toStored(window.boxText(Box::Web));
  auto& shown = window.shownEntry();
  shown = {window.boxText(Box::Web), std::string(), false};
  // An empty name reads no record; a name that cannot be stored has none.
  // Every record of the name is read, not only the one shown, so that Save
  // and Delete can tell whether any of them changed elsewhere since.
  if (key.ok() && !key.stored.empty())
    shown.known = storedRecords(data, key.stored, shown.records, &record);
  const storage::Record entry = record.value_or(storage::Record{});
  window.setBoxText(Box::User, fromStored(storage::textOf(entry.user)));
  window.setBoxText(Box::Password, fromStored(storage::textOf(entry.password)));
  window.setBoxText(Box::Notes, fromStored(storage::textOf(entry.notes)));
}

void newEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
              const QString& firstPrompt) {
  const QString consequence = "The entry was not created.";
  if (refuseDamaged(data, dialogs, consequence)) return;
  QString name = dialogs.inputBox(firstPrompt, "Web Site");
  if (name.isEmpty()) return;
  QString user = dialogs.inputBox("User Name", "User Name");
  QString password = dialogs.inputBox("Password", "Password");

  std::string storedName, storedUser, storedPassword;
  if (!storeAll({{name, &storedName}, {user, &storedUser}, {password, &storedPassword}}, dialogs,
                consequence))
    return;

  storage::Record record{storedName, storedField(storedUser), storedField(storedPassword),
                         std::string()};
  // The whole file is replaced rather than appended to: an append that stops
  // half-way (a full disk, a crash) would leave half a record, and every entry
  // added after it would be read as part of it.
  if (!replaceEntryFile(
          data, dialogs, consequence, "The entry could not be added to the entry file", true,
          [&](storage::RecordReader& reader, const std::function<bool(std::string_view)>& write) {
            return storage::appendEntry(reader, record, write);
          }))
    return;
  window.addName(name);
}

void saveEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs) {
  const QString consequence = "Nothing was saved.";
  const QString name = window.boxText(Box::Web);
  std::string key, user, password, notes;
  if (!storeAll({{name, &key},
                 {window.boxText(Box::User), &user},
                 {window.boxText(Box::Password), &password},
                 {window.boxText(Box::Notes), &notes}},
                dialogs, consequence))
    return;
  storage::Record replacement{key, storedField(user), storedField(password), storedField(notes)};

  // What the user last saw of this entry; none for a typed name.
  auto& shown = window.shownEntry();
  std::optional<std::string> seen;
  if (shown.known && shown.name == name) seen = shown.records;

  bool confirmed = false;
  for (;;) {
    std::string onDisk;
    {
      storage::InputFile file;
      if (!openEntryFile(data, dialogs, consequence, file)) return;
      storage::FileRecordReader reader(file);
      // The whole file is read, not only up to the name: one that ends inside
      // an entry is refused before the question, not after it.
      std::size_t tail = 0;
      onDisk = storage::recordsNamed(reader, key, &tail);
      if (!reader.status()) {
        reportUnreadable(data, dialogs, consequence, reader.status());
        return;
      }
      if (tail > 0) {
        reportDamaged(data, dialogs, consequence, tail);
        return;
      }
      if (onDisk.empty()) {
        // Save never creates an entry; a name without a record is left alone.
        if (seen && !seen->empty())
          dialogs.warn(QStringLiteral("The entry \"%1\" was deleted elsewhere after you "
                                      "opened it, so there is nothing to save it over.\n\n"
                                      "Create it again with New to keep it. %2")
                           .arg(name, consequence));
        return;
      }
    }  // the file is closed before the questions

    if (seen && onDisk != *seen && !overwriteChangesElsewhere(dialogs)) return;
    if (!confirmed &&
        dialogs.messageBox("This file already exists. Do you want to overwrite the file?", kConfirm,
                           "OverwriteFile") != kYes)
      return;
    confirmed = true;

    // The records may change again while the user answers; the rewrite only
    // goes ahead over the very records the answers were about.
    bool changed = false;
    std::size_t matched = 0;
    if (rewriteEntryFile(data, dialogs, key, replacement, consequence, &onDisk, changed,
                         &matched)) {
      std::string saved;
      for (std::size_t i = 0; i < matched; ++i) storage::appendRecord(saved, replacement);
      shown = {name, saved, true};
      return;
    }
    if (!changed) return;
    seen = onDisk;
  }
}

void deleteEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs) {
  const QString name = window.boxText(Box::Web);
  std::string key;
  if (!storeAll({{name, &key}}, dialogs, "Nothing was deleted.")) return;
  if (refuseDamaged(data, dialogs, "Nothing was deleted.")) return;

  auto& shown = window.shownEntry();
  std::optional<std::string> seen;
  if (shown.known && shown.name == name) seen = shown.records;

  bool confirmed = false;
  for (;;) {
    // A file that cannot be read here is reported by the rewrite.
    std::string onDisk;
    const bool read = storedRecords(data, key, onDisk);
    // Records already gone need no question: deleting them changes nothing.
    if (read && seen && !onDisk.empty() && onDisk != *seen && !overwriteChangesElsewhere(dialogs))
      return;
    if (!confirmed) {
      if (dialogs.messageBox("Are you sure you want to delete the file " + name + "?", kConfirm,
                             "Delete File") != kYes) {
        dialogs.messageBox("Operation Aborted", kPlainOk);
        return;
      }
      confirmed = true;
    }
    bool changed = false;
    // When the records could not be read before the question, the rewrite
    // reports why, or goes ahead over what it finds as Delete always did.
    if (rewriteEntryFile(data, dialogs, key, std::nullopt, "Nothing was deleted.",
                         read ? &onDisk : nullptr, changed))
      break;
    if (!changed) return;
    seen = onDisk;
  }

  // Every record of the name is gone, so every list item of it goes too.
  window.removeName(name);
  for (Box box : {Box::Web, Box::User, Box::Password}) window.setBoxText(box, QString());
  shown = {};
}

void encodePlainEntryFile(const storage::DataDirectory& data, Dialogs& dialogs) {
  const QString consequence = "Nothing was written.";
  const auto lock = lockForWriting(data, dialogs, consequence);
  if (!lock) return;
  std::string bytes;
  if (!readEntryFile(data, dialogs, consequence, bytes)) return;

  std::string out;
  storage::RecordReader reader(bytes);
  storage::Record record;
  while (!reader.atEnd()) {
    if (!reader.next(record)) {
      reportDamaged(data, dialogs, consequence);
      return;
    }
    storage::Record encoded;
    for (auto [from, to] : {std::pair{&record.name, &encoded.name},
                            std::pair{&record.user, &encoded.user},
                            std::pair{&record.password, &encoded.password},
                            std::pair{&record.notes, &encoded.notes}}) {
      storage::ShiftResult shifted = storage::shiftEncode(storage::textOf(*from));
      if (!shifted.ok()) {
        // Most likely the file is stored already; a partial copy would be worse
        // than none.
        dialogs.warn(QStringLiteral("The entry file holds a character (code %1) that cannot be "
                                    "encoded; it may be encoded already.\n\n%2")
                         .arg(static_cast<unsigned char>(storage::textOf(*from)[shifted.firstBad]))
                         .arg(consequence));
        return;
      }
      *to = std::move(shifted.text);
    }
    storage::appendRecord(out, encoded);
  }
  const auto target = data.file(storage::kTempEntryFile);
  auto status = storage::appendToFile(target, out);
  if (!status)
    dialogs.warn(fileProblem("The converted entries could not be written", target, status));
}

void loadTempEntryNames(WindowState& window, const storage::DataDirectory& data) {
  window.clearNames();
  window.addNames(readListedNames(data.file(storage::kTempEntryFile)));
}

}  // namespace ombrel
