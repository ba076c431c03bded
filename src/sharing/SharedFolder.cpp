// SPDX-License-Identifier: MIT
#include "sharing/SharedFolder.h"

#include <QStringList>
#include <algorithm>
#include <utility>

#include "datafolder/FailureReport.h"
#include "datafolder/ListedNames.h"
#include "datafolder/WriteLock.h"
#include "interfaces/Dialogs.h"
#include "interfaces/WindowState.h"
#include "storage/ConflictCopies.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "text/NameOrder.h"
#include "text/StoredText.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

QString fileName(const std::filesystem::path& path) { return displayPath(path.filename()); }

// Renames a settled copy aside, never over another file; the name it took.
struct SetAside {
  std::filesystem::path name;
  storage::Status status = storage::Status::success();
};
SetAside setAside(const std::filesystem::path& copy) {
  SetAside aside{storage::setAsideName(copy)};
  std::error_code error;
  std::filesystem::rename(copy, aside.name, error);
  if (error && error != std::errc::no_such_file_or_directory)
    aside.status = storage::Status::writeError(error.message(), error.value());
  return aside;
}

Task setAsideTask(const std::filesystem::path& copy, const QString& consequence) {
  return {copy, QStringLiteral("The copy could not be renamed aside"), consequence};
}

// The names of the entries a merge adds, in list order, so that the user sees
// what would come in before saying Yes: anyone who can write into a synced
// folder can leave a file named like a conflict copy.
QString addedNames(const storage::EntryMerge& merge) {
  constexpr std::size_t kShown = 20;
  QStringList names;
  for (const storage::Record& record : merge.added)
    names << fromStored(storage::textOf(record.name));
  std::stable_sort(names.begin(), names.end(), NameBefore());
  QStringList lines;
  for (qsizetype i = 0; i < names.size() && i < qsizetype{kShown}; ++i) lines << "    " + names[i];
  if (names.size() > qsizetype{kShown})
    lines << QStringLiteral("    and %1 more").arg(names.size() - qsizetype{kShown});
  return lines.join('\n');
}

QString question(const std::filesystem::path& copy, const storage::EntryMerge& merge) {
  const QString adding =
      merge.added.size() == 1
          ? QStringLiteral("The entry of it that passwords.dat does not hold will be added:")
          : QStringLiteral("The %1 entries of it that passwords.dat does not hold will be added:")
                .arg(merge.added.size());
  QString text =
      QStringLiteral(
          "A sync tool left a second version of the entry file, made when it was changed in "
          "two places at once:\n%1\n\nMerge it into passwords.dat? %2\n%3\n\nA merge never "
          "removes an entry, so an entry deleted in one place may come back.")
          .arg(displayPath(copy), adding, addedNames(merge));
  if (!merge.twoVersions.empty()) {
    QStringList names;
    for (const auto& stored : merge.twoVersions) names << "    " + fromStored(stored);
    text += QStringLiteral(
                "\n\nThese entries were changed in both places and will be listed twice. "
                "Picking one shows the version passwords.dat held; Save writes the boxes over "
                "both versions, Delete removes both:\n%1")
                .arg(names.join('\n'));
  }
  return text + QStringLiteral("\n\nThe copy is then renamed to %1.")
                    .arg(fileName(storage::setAsideName(copy)));
}

// Appends the records a merge adds to the entry file, as New adds one: the
// result is read back before it takes the file's place, so a last line that
// would swallow the new records is refused. The file ends private to its
// owner, however it was shared before.
storage::Status writeMerge(const storage::DataDirectory& data, std::string_view current,
                           const storage::EntryMerge& merge) {
  storage::AtomicFile newFile(data.file(storage::kEntryFile), data.file(storage::kTempEntryFile),
                              storage::Permissions::OwnerOnly);
  storage::Status status = newFile.open();
  storage::MemorySource source(current);
  storage::RecordReader reader(source);
  if (status.ok()) status = storage::copyAddingEntries(reader, merge.added, newFile);
  if (status.ok()) status = newFile.commit();
  return status;
}

// The two files a merge reads, as they are now: an entry file that is
// missing reads as an empty one.
struct MergeInput {
  std::string current, theirs;
  storage::Status status = storage::Status::success();
  Task task;  // for a failure: the file that could not be read
};

MergeInput readMergeInput(const std::filesystem::path& target, const std::filesystem::path& copy) {
  const QString consequence = QStringLiteral("The copy was not merged.");
  MergeInput in;
  in.task = {
      copy, {}, consequence, QStringLiteral("This copy of the entry file could not be read")};
  in.status = storage::readWholeFile(copy, in.theirs);
  if (!in.status.ok()) return in;
  in.task = {target, {}, consequence};
  in.status = storage::readWholeFile(target, in.current);
  if (in.status.isMissing()) in.status = storage::Status::success();
  return in;
}

// What a merge under the write lock came to.
struct Merged {
  storage::Status status = storage::Status::success();
  Task task{};               // for a failure: the file and what it means
  bool damagedCopy = false;  // a Damaged status: the copy ends inside a record
  NameBlock added{};         // the names of the records passwords.dat now holds too
  bool leftInPlace = false;  // merged, but the copy could not be renamed aside
};

// Reads both files again (they may have changed while the user answered),
// appends what the copy adds and renames the copy aside, all under the lock.
Merged mergeUnderLock(const storage::DataDirectory& data, const std::filesystem::path& copy) {
  const auto target = data.file(storage::kEntryFile);
  const QString consequence = QStringLiteral("The copy was not merged.");
  Merged merged{
      .task = {target, QStringLiteral("The entry file could not be rewritten"), consequence}};
  const WriteLock lock = WriteLock::take(data);
  if (merged.status = lock.status(); !merged.status.ok()) return merged;
  const MergeInput in = readMergeInput(target, copy);
  if (!in.status.ok()) return {.status = in.status, .task = in.task};
  const storage::EntryMerge merge = storage::mergeEntries(in.current, in.theirs);
  if (merge.damaged != storage::EntryMerge::Damaged::Neither)
    return {.status = storage::Status::damaged(),
            .task = merged.task,
            .damagedCopy = merge.damaged == storage::EntryMerge::Damaged::Copy};
  if (!merge.added.empty()) {
    if (merged.status = writeMerge(data, in.current, merge); !merged.status.ok()) return merged;
    for (const storage::Record& record : merge.added)
      merged.added.append(fromStored(storage::textOf(record.name)));
  }
  const SetAside aside = setAside(copy);
  if (!aside.status.ok())
    return {.status = aside.status,
            .task = setAsideTask(copy, {}),
            .added = std::move(merged.added),
            .leftInPlace = true};
  return merged;
}

// Merges one copy of the entry file; the names it added to passwords.dat.
NameBlock mergeEntryCopy(const storage::DataDirectory& data, Dialogs& dialogs,
                         const std::filesystem::path& copy, SettledCopies& settled) {
  const auto target = data.file(storage::kEntryFile);
  auto settle = [&] { settled.insert(copy.filename().string()); };
  auto refuse = [&](bool copyAtFault) {
    settle();
    dialogs.warn(
        QStringLiteral("%1 ends in the middle of an entry, so Ombrel will not merge the copy "
                       "a sync tool left:\n%2\n\nBoth files were left as they are.")
            .arg(copyAtFault ? QStringLiteral("This copy of the entry file")
                             : QStringLiteral("The entry file"),
                 displayPath(copyAtFault ? copy : target)));
  };

  const MergeInput in = readMergeInput(target, copy);
  if (!in.status.ok()) {
    // A copy gone meanwhile was dealt with elsewhere; any other failure is
    // told once, and the copy left alone until the next start.
    if (in.task.file == copy && in.status.isMissing()) return {};
    settle();
    report(dialogs, in.status, in.task);
    return {};
  }
  const storage::EntryMerge merge = storage::mergeEntries(in.current, in.theirs);
  if (merge.damaged != storage::EntryMerge::Damaged::Neither) {
    refuse(merge.damaged == storage::EntryMerge::Damaged::Copy);
    return {};
  }
  // A copy that adds nothing loses nothing by being set aside unasked.
  if (!merge.added.empty() && dialogs.messageBox(question(copy, merge), kConfirm,
                                                 QStringLiteral("Conflict Copy")) != kYes) {
    settle();
    return {};
  }

  Merged merged = mergeUnderLock(data, copy);
  if (merged.status.isDamaged()) {
    refuse(merged.damagedCopy);
  } else if (!merged.status.ok()) {
    // A copy that could not be set aside is not offered again this run.
    if (merged.leftInPlace) settle();
    report(dialogs, merged.status, merged.task);
  }
  return std::move(merged.added);
}

}  // namespace

void followEntryFile(WindowState& window, const storage::DataDirectory& data, Dialogs& dialogs,
                     bool& failureTold) {
  const auto path = data.file(storage::kEntryFile);
  if (!storage::isPresentFile(path)) return;
  ListedNames listed = readListedNames(path);
  // A file that ends inside an entry still lists the entries before it, as
  // start-up does; a read that failed lists nothing the user can trust.
  if (!listed.status.ok() && !listed.status.isDamaged()) {
    if (!std::exchange(failureTold, true))
      dialogs.warn(fileProblem("The entry file could not be read", path, listed.status) +
                   "\n\nThe list shows the entries as they were. It is brought up to date as "
                   "soon as the file can be read again.");
    return;
  }
  failureTold = false;

  // The picked item is found again as the same occurrence of its name.
  const int selected = window.selectedIndex();
  const QString picked = selected >= 0 ? window.nameAt(selected) : QString();
  int occurrence = 0;
  for (int i = 0; i < selected; ++i)
    if (window.nameAt(i) == picked) ++occurrence;

  window.clearNames();
  window.addNames(std::move(listed.names));
  if (selected < 0) return;
  int found = -1;
  for (int i = 0, seen = 0; i < window.nameCount(); ++i) {
    if (window.nameAt(i) != picked) continue;
    found = i;  // the last occurrence, when fewer are left
    if (seen++ == occurrence) break;
  }
  window.setSelectedIndex(found);
}

NameBlock settleConflictCopies(const storage::DataDirectory& directory, Dialogs& dialogs,
                               SettledCopies& settled) {
  NameBlock added;
  QStringList setAsideCopies;
  for (const std::string& name : storage::conflictCopies(std::filesystem::path(directory.path()))) {
    if (settled.count(name)) continue;
    const auto copy = directory.file(name);
    if (storage::conflictCopyOf(name) == storage::ConflictOf::Entries) {
      const NameBlock merged = mergeEntryCopy(directory, dialogs, copy, settled);
      for (qsizetype i = 0; i < merged.size(); ++i) added.append(merged.at(i));
      continue;
    }
    // pw.dat and pwclr.dat hold one value each: the current one is kept.
    settled.insert(name);
    const QString consequence = QStringLiteral("The copy was left as it is.");
    storage::Status status = storage::Status::success();
    SetAside aside;
    {
      const WriteLock lock = WriteLock::take(directory);
      status = lock.status();
      if (status.ok()) status = (aside = setAside(copy)).status;
    }
    if (status.ok()) {
      setAsideCopies << QStringLiteral("    %1  ->  %2").arg(fileName(copy), fileName(aside.name));
    } else {
      report(dialogs, status, setAsideTask(copy, consequence));
    }
  }
  if (!setAsideCopies.isEmpty())
    dialogs.messageBox(
        QStringLiteral("A sync tool left other versions of the password or colour file, made "
                       "when they were changed in two places at once. Ombrel keeps the current "
                       "pw.dat and pwclr.dat and renamed the copies aside:\n%1")
            .arg(setAsideCopies.join('\n')),
        kInformationOk, QStringLiteral("Ombrel"));
  return added;
}

}  // namespace ombrel
