// SPDX-License-Identifier: MIT
#include "entries/EntryCommands.h"

#include <QStringList>
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

void reportUnreadable(const storage::DataDirectory& data, Dialogs& dialogs,
                      const QString& consequence, const storage::Status& status) {
  dialogs.warn(fileProblem("The entry file could not be read", entryFile(data), status) + "\n\n" +
               consequence);
}

// `tail`: the bytes after the last whole entry, 0 when not known.
void reportDamaged(const storage::DataDirectory& data, Dialogs& dialogs, const QString& consequence,
                   std::size_t tail = 0) {
  dialogs.warn(damagedEntryFile(entryFile(data), tail, consequence));
}

// Tells the user why the entry file could not be read whole.
void reportReadFailure(const storage::DataDirectory& data, Dialogs& dialogs,
                       const QString& consequence, const storage::Status& status) {
  if (status.isDamaged()) {
    reportDamaged(data, dialogs, consequence, status.damagedTail());
  } else {
    reportUnreadable(data, dialogs, consequence, status);
  }
}

// The records now stored under `key`, as the record writer writes them, and
// the first of them. The whole file is read: a failure (missing, unreadable,
// cut off) keeps the records before it.
storage::Status storedRecords(const storage::DataDirectory& data, const std::string& key,
                              std::string& records,
                              std::optional<storage::Record>* first = nullptr) {
  records.clear();
  storage::InputFile file;
  if (auto status = file.open(entryFile(data)); !status) return status;
  storage::RecordReader reader(file);
  return storage::recordsNamed(reader, key, records, first);
}

// Tells the user and returns true when the entry file ends inside an entry,
// so that a command refuses before it asks anything. A file that is missing
// or cannot be read is left for the command itself to meet.
bool refuseDamaged(const storage::DataDirectory& data, Dialogs& dialogs,
                   const QString& consequence) {
  storage::InputFile file;
  if (!file.open(entryFile(data))) return false;
  storage::RecordReader reader(file);
  const storage::Status status =
      reader.forEachRecord([](const storage::RecordView&) { return storage::Status::success(); });
  if (!status.isDamaged()) return false;
  reportDamaged(data, dialogs, consequence, status.damagedTail());
  return true;
}

// Writes a new entry file from what `copy` passes on while it reads the old
// one, and puts it in place in one step. Records go to the temp file as they
// are read, so that neither version of the file is ever held whole. Until
// commit() the entry file is untouched, and any way out before it removes the
// temp again; on any failure the user is told what stayed as it was. A missing
// entry file reads as an empty one when `createMissing`. The whole of it runs
// under the data directory's write lock, so that another program cannot
// rewrite the file between our read and our rename. `accept`, when given, is
// asked once the copy is finished, before it is put in place; when it
// refuses, nothing is written and nothing said. True when written.
using EntryCopy = std::function<storage::Status(storage::RecordReader&, storage::ByteSink&)>;

bool replaceEntryFile(const storage::DataDirectory& data, Dialogs& dialogs,
                      const QString& consequence, const QString& writeFailure, bool createMissing,
                      const EntryCopy& copy, const std::function<bool()>& accept = {}) {
  const auto lock = lockForWriting(data, dialogs, consequence);
  if (!lock) return false;
  const auto path = entryFile(data);
  storage::InputFile file;
  storage::MemorySource nothing{std::string_view()};
  // The file holds passwords: it ends private to its owner, however it was
  // shared before.
  storage::AtomicFile newFile(path, data.file(storage::kTempEntryFile),
                              storage::Permissions::OwnerOnly);

  storage::Status status = file.open(path);
  const bool missing = createMissing && status.isMissing();
  if (missing) status = storage::Status::success();
  if (status) status = newFile.open();
  if (status) {
    storage::RecordReader reader(missing ? static_cast<storage::ByteSource&>(nothing) : file);
    status = copy(reader, newFile);
  }
  if (status && accept && !accept()) return false;
  if (status) status = newFile.commit();
  if (status) return true;

  if (status.kind() == storage::Status::Kind::WriteFailed) {
    dialogs.warn(fileProblem(writeFailure, path, status) + "\n\n" + consequence);
  } else if (status.isDamaged()) {
    reportDamaged(data, dialogs, consequence);
  } else {
    reportUnreadable(data, dialogs, consequence, status);
  }
  return false;
}

// Rewrites the entry file with every record named `key` replaced (or dropped
// when `replacement` is empty), provided the records of that name are still
// `expected` (when given); `changed` tells that they were not and nothing was
// written. `matched` gets the number of records replaced.
bool rewriteEntryFile(const storage::DataDirectory& data, Dialogs& dialogs, const std::string& key,
                      const std::optional<storage::Record>& replacement, const QString& consequence,
                      const std::string* expected, bool& changed, std::size_t* matched = nullptr) {
  changed = false;
  storage::MatchedRecords found;
  return replaceEntryFile(
      data, dialogs, consequence, "The entry file could not be rewritten", false,
      [&](storage::RecordReader& reader, storage::ByteSink& sink) {
        return storage::copyReplacingEntry(reader, key, replacement, sink, found);
      },
      [&] {
        changed = expected && found.written != *expected;
        if (matched) *matched = found.count;
        return !changed;
      });
}

// The records the boxes were filled from when `name` was last picked; none
// for a name the user typed, whose records were never shown.
std::optional<std::string> recordsSeen(const WindowState::ShownEntry& shown, const QString& name) {
  if (shown.known && shown.name == name) return shown.records;
  return std::nullopt;
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
    shown.known = storedRecords(data, key.stored, shown.records, &record).ok();
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
  if (!encodeOrReport({{name, &storedName}, {user, &storedUser}, {password, &storedPassword}},
                      dialogs, consequence))
    return;

  storage::Record record{storedName, storedField(storedUser), storedField(storedPassword),
                         std::string()};
  // The whole file is replaced rather than appended to: an append that stops
  // half-way (a full disk, a crash) would leave half a record, and every entry
  // added after it would be read as part of it.
  if (!replaceEntryFile(data, dialogs, consequence,
                        "The entry could not be added to the entry file", true,
                        [&](storage::RecordReader& reader, storage::ByteSink& sink) {
                          return storage::copyAddingEntries(reader, {record}, sink);
                        }))
    return;
  window.addName(name);
}

void saveEntry(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs) {
  const QString consequence = "Nothing was saved.";
  const QString name = window.boxText(Box::Web);
  std::string key, user, password, notes;
  if (!encodeOrReport({{name, &key},
                       {window.boxText(Box::User), &user},
                       {window.boxText(Box::Password), &password},
                       {window.boxText(Box::Notes), &notes}},
                      dialogs, consequence))
    return;
  storage::Record replacement{key, storedField(user), storedField(password), storedField(notes)};

  auto& shown = window.shownEntry();
  std::optional<std::string> seen = recordsSeen(shown, name);

  bool confirmed = false;
  for (;;) {
    std::string onDisk;
    // The whole file is read, not only up to the name: one that ends inside
    // an entry is refused before the question, not after it.
    if (auto status = storedRecords(data, key, onDisk); !status) {
      reportReadFailure(data, dialogs, consequence, status);
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
  if (!encodeOrReport({{name, &key}}, dialogs, "Nothing was deleted.")) return;

  auto& shown = window.shownEntry();
  std::optional<std::string> seen = recordsSeen(shown, name);

  bool confirmed = false;
  for (;;) {
    // One read finds both the records and any damage: a file that ends inside
    // an entry is refused before the question. A file that cannot be read
    // here is reported by the rewrite.
    std::string onDisk;
    const storage::Status status = storedRecords(data, key, onDisk);
    if (status.isDamaged()) {
      reportDamaged(data, dialogs, "Nothing was deleted.", status.damagedTail());
      return;
    }
    const bool read = status.ok();
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
  if (auto status = storage::readWholeFile(entryFile(data), bytes); !status) {
    reportUnreadable(data, dialogs, consequence, status);
    return;
  }

  std::string out;
  std::optional<unsigned char> unencodable;
  storage::MemorySource source(bytes);
  storage::RecordReader reader(source);
  const storage::Status status = reader.forEachRecord([&](const storage::RecordView& view) {
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
  if (unencodable) {
    // Most likely the file is stored already; a partial copy would be worse
    // than none.
    dialogs.warn(QStringLiteral("The entry file holds a character (code %1) that cannot be "
                                "encoded; it may be encoded already.\n\n%2")
                     .arg(*unencodable)
                     .arg(consequence));
    return;
  }
  if (status.isDamaged()) {
    reportDamaged(data, dialogs, consequence);
    return;
  }
  const auto target = data.file(storage::kTempEntryFile);
  if (auto written = storage::appendToFile(target, out); !written)
    dialogs.warn(fileProblem("The converted entries could not be written", target, written));
}

void loadTempEntryNames(WindowState& window, const storage::DataDirectory& data) {
  window.clearNames();
  window.addNames(readListedNames(data.file(storage::kTempEntryFile)).names);
}

}  // namespace ombrel
