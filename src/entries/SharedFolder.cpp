// SPDX-License-Identifier: MIT
#include "entries/SharedFolder.h"

#include <QStringList>

#include "entries/ListedNames.h"
#include "entries/WriteLock.h"
#include "seams/Dialogs.h"
#include "seams/StoredText.h"
#include "seams/UserMessages.h"
#include "seams/WindowState.h"
#include "storage/ConflictCopies.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"

namespace ombrel {
namespace {

QString fileName(const std::filesystem::path& path) { return displayPath(path.filename()); }

// Renames a settled copy aside; false (and the user told) when it cannot be.
bool setAside(const std::filesystem::path& copy, Dialogs& dialogs,
              std::filesystem::path* asideName = nullptr) {
  const auto aside = storage::setAsideName(copy);
  if (asideName) *asideName = aside;
  std::error_code error;
  std::filesystem::rename(copy, aside, error);
  if (!error || error == std::errc::no_such_file_or_directory) return true;
  dialogs.warn(fileProblem("The copy could not be renamed aside", copy,
                           storage::Status::writeError(error.message(), error.value())));
  return false;
}

QString question(const std::filesystem::path& copy, const storage::EntryMerge& merge) {
  QString text =
      QStringLiteral(
          "A sync tool left a second version of the entry file, made when it was changed in "
          "two places at once:\n%1\n\nMerge it into passwords.dat? The %2 entries of it that "
          "passwords.dat does not hold will be added. A merge never removes an entry, so an "
          "entry deleted in one place may come back.")
          .arg(displayPath(copy))
          .arg(merge.added);
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

// Merges one copy of the entry file. True when passwords.dat changed.
bool mergeEntryCopy(const storage::DataDirectory& data, Dialogs& dialogs,
                    const std::filesystem::path& copy, SettledCopies& settled) {
  const auto target = data.file(storage::kEntryFile);
  auto read = [&](std::string& current, std::string& theirs) {
    if (!storage::readWholeFile(copy, theirs)) return false;  // gone meanwhile
    auto status = storage::readWholeFile(target, current);
    return status || status.isMissing();
  };
  std::string current, theirs;
  if (!read(current, theirs)) return false;
  storage::EntryMerge merge = storage::mergeEntries(current, theirs);
  auto damaged = [&](const storage::EntryMerge& m) {
    if (!m.copyDamaged && !m.currentDamaged) return false;
    settled.insert(copy.filename().string());
    dialogs.warn(
        QStringLiteral("%1 ends in the middle of an entry, so Ombrel will not merge the copy "
                       "a sync tool left:\n%2\n\nBoth files were left as they are.")
            .arg(m.copyDamaged ? QStringLiteral("This copy of the entry file")
                               : QStringLiteral("The entry file"),
                 displayPath(m.copyDamaged ? copy : target)));
    return true;
  };
  if (damaged(merge)) return false;
  // A copy that adds nothing loses nothing by being set aside unasked.
  if (merge.added > 0 && dialogs.messageBox(question(copy, merge), kConfirm,
                                            QStringLiteral("Conflict Copy")) != kYes) {
    settled.insert(copy.filename().string());
    return false;
  }

  const QString consequence = QStringLiteral("The copy was not merged.");
  const auto lock = lockForWriting(data, dialogs, consequence);
  if (!lock) return false;
  // Read again under the lock: the files may have changed during the question.
  if (!read(current, theirs)) return false;
  merge = storage::mergeEntries(current, theirs);
  if (damaged(merge)) return false;
  if (merge.added > 0) {
    auto status = storage::replaceFile(target, data.file(storage::kTempEntryFile), merge.bytes);
    if (!status) {
      dialogs.warn(fileProblem("The entry file could not be rewritten", target, status) + "\n\n" +
                   consequence);
      return false;
    }
  }
  if (!setAside(copy, dialogs)) settled.insert(copy.filename().string());
  return merge.added > 0;
}

}  // namespace

void followEntryFile(WindowState& window, const storage::DataDirectory& data) {
  const auto path = data.file(storage::kEntryFile);
  if (!storage::isPresentFile(path)) return;

  // The picked item is found again as the same occurrence of its name.
  const int selected = window.selectedIndex();
  const QString picked = selected >= 0 ? window.nameAt(selected) : QString();
  int occurrence = 0;
  for (int i = 0; i < selected; ++i)
    if (window.nameAt(i) == picked) ++occurrence;

  window.clearNames();
  window.addNames(readListedNames(path));
  if (selected < 0) return;
  int found = -1;
  for (int i = 0, seen = 0; i < window.nameCount(); ++i) {
    if (window.nameAt(i) != picked) continue;
    found = i;  // the last occurrence, when fewer are left
    if (seen++ == occurrence) break;
  }
  window.setSelectedIndex(found);
}

bool settleConflictCopies(const storage::DataDirectory& directory, Dialogs& dialogs,
                          SettledCopies& settled) {
  bool changed = false;
  QStringList setAsideCopies;
  for (const std::string& name : storage::conflictCopies(std::filesystem::path(directory.path()))) {
    if (settled.count(name)) continue;
    const auto copy = directory.file(name);
    if (storage::conflictCopyOf(name) == storage::ConflictOf::Entries) {
      changed = mergeEntryCopy(directory, dialogs, copy, settled) || changed;
      continue;
    }
    // pw.dat and pwclr.dat hold one value each: the current one is kept.
    settled.insert(name);
    const auto lock =
        lockForWriting(directory, dialogs, QStringLiteral("The copy was left as it is."));
    std::filesystem::path aside;
    if (lock && setAside(copy, dialogs, &aside))
      setAsideCopies << QStringLiteral("    %1  ->  %2").arg(fileName(copy), fileName(aside));
  }
  if (!setAsideCopies.isEmpty())
    dialogs.messageBox(
        QStringLiteral("A sync tool left other versions of the password or colour file, made "
                       "when they were changed in two places at once. Ombrel keeps the current "
                       "pw.dat and pwclr.dat and renamed the copies aside:\n%1")
            .arg(setAsideCopies.join('\n')),
        kInformationOk, QStringLiteral("Ombrel"));
  return changed;
}

}  // namespace ombrel
