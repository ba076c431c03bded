// SPDX-License-Identifier: MIT
#include "importexport/LoginImport.h"

#include <optional>
#include <string>

#include "datafolder/WriteLock.h"
#include "importexport/CommandOutput.h"
#include "importexport/ImportPlanner.h"
#include "importexport/ImportReport.h"
#include "importexport/OutputDialogs.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

// Tells the user why the entry file stopped the import.
void reportEntryFile(const std::filesystem::path& path, const storage::Status& status,
                     CommandOutput& output) {
  const QString consequence = importText::nothingImported();
  if (status.isDamaged()) {
    output.notice(damagedEntryFile(path, status.damagedTail(), consequence));
  } else if (status.kind() == storage::Status::Kind::WriteFailed) {
    output.notice(fileProblem("The logins could not be added to the entry file", path, status) +
                  "\n\n" + consequence);
  } else {
    output.notice(fileProblem("The entry file could not be read", path, status) + "\n\n" +
                  consequence);
  }
}

// Decides on every login, comparing with the entry file as it stands; a
// missing entry file is an empty one.
ImportPlan planFrom(const storage::DataDirectory& data, const std::string& csv,
                    const QString& shownPath) {
  ImportPlanner planner(csv, shownPath);
  storage::InputFile file;
  const storage::Status opened = file.open(data.file(storage::kEntryFile));
  if (opened.isMissing()) return planner.plan(nullptr, 0);
  if (!opened.ok()) {
    ImportPlan failed;
    failed.entryFile = opened;
    return failed;
  }
  storage::RecordReader reader(file);
  return planner.plan(&reader, file.sizeWhenOpened());
}

// Copies the entry file with the records added to a new file and puts it in
// place, as New does: the copy is read back before the rename.
storage::Status appendRecords(const storage::DataDirectory& data,
                              const std::vector<storage::Record>& records) {
  const auto path = data.file(storage::kEntryFile);
  storage::InputFile file;
  storage::MemorySource nothing{std::string_view()};
  // The file holds passwords: it ends private to its owner, however it was
  // shared before.
  storage::AtomicFile newFile(path, data.file(storage::kTempEntryFile),
                              storage::Permissions::OwnerOnly);
  storage::Status status = file.open(path);
  const bool missing = status.isMissing();
  if (missing) status = storage::Status::success();
  if (status.ok()) status = newFile.open();
  if (status.ok()) {
    storage::RecordReader reader(missing ? static_cast<storage::ByteSource&>(nothing) : file);
    status = storage::copyAddingEntries(reader, records, newFile);
  }
  if (status.ok()) status = newFile.commit();
  return status;
}

void report(const ImportPlan& plan, const QString& shownPath, CommandOutput& output) {
  if (!plan.dropped.isEmpty()) output.report(importText::droppedColumns(plan.dropped));
  for (const QString& line : plan.lines) output.report(line);
  output.report(importText::summary(plan.records.size(), shownPath, sourceName(plan.source),
                                    plan.renamed, plan.alreadyThere, plan.skipped));
}

}  // namespace

bool importLogins(const storage::DataDirectory& data, const std::filesystem::path& path,
                  const QString& shownPath, CommandOutput& output) {
  std::string csv;
  if (const storage::Status read = storage::readWholeFile(path, csv); !read.ok()) {
    output.notice(fileProblem("The file to import could not be read", path, read) + "\n\n" +
                  importText::nothingImported());
    return false;
  }

  OutputDialogs dialogs(output);
  // Held from the first read of the entry file to the rename, so that no
  // other Ombrel changes it in between.
  const auto lock = lockForWriting(data, dialogs, importText::nothingImported());
  if (!lock) return false;

  const ImportPlan plan = planFrom(data, csv, shownPath);
  if (!plan.problem.isEmpty()) {
    output.notice(plan.problem);
    return false;
  }
  const auto entryFile = data.file(storage::kEntryFile);
  if (!plan.entryFile.ok()) {
    reportEntryFile(entryFile, plan.entryFile, output);
    return false;
  }
  std::string().swap(csv);  // its logins are records now; the memory is better used by the copy

  if (!plan.records.empty()) {
    if (const storage::Status written = appendRecords(data, plan.records); !written.ok()) {
      reportEntryFile(entryFile, written, output);
      return false;
    }
  }
  report(plan, shownPath, output);
  return plan.skipped == 0;
}

}  // namespace ombrel
