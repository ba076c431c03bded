// SPDX-License-Identifier: MIT
#include "importexport/LoginImport.h"

#include <string>

#include "datafolder/EntryRewrite.h"
#include "datafolder/FailureReport.h"
#include "datafolder/WriteLock.h"
#include "importexport/CsvFormats.h"
#include "importexport/ImportPlanner.h"
#include "importexport/ImportReport.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

void report(const ImportPlan& plan, const QString& shownPath, CommandOutput& output) {
  if (!plan.dropped.isEmpty()) output.report(importText::droppedColumns(plan.dropped));
  for (const QString& line : plan.lines) output.report(line);
  if (plan.folderRows > 0) output.report(importText::passedOverFolders(plan.folderRows));
  output.report(importText::summary(plan.records.size(), shownPath,
                                    QString::fromUtf8(plan.format->name), plan.renamed,
                                    plan.alreadyThere, plan.skipped));
}

}  // namespace

CommandResult importLogins(const storage::DataDirectory& data, const std::filesystem::path& path,
                           const QString& shownPath, CommandOutput& output) {
  std::string csv;
  if (const storage::Status read = storage::readWholeFile(path, csv); !read.ok())
    return CommandResult::failed(fileProblem("The file to import could not be read", path, read) +
                                 "\n\n" + importText::nothingImported());

  // The lock is held from the first read of the entry file to the rename, so
  // that no other Ombrel changes it in between, and let go before anything
  // is said.
  const Task adding{data.file(storage::kEntryFile),
                    QStringLiteral("The logins could not be added to the entry file"),
                    importText::nothingImported()};
  ImportPlan plan;
  storage::Status status = storage::Status::success();
  {
    const WriteLock lock = WriteLock::take(data);
    status = lock.status();
    if (status.ok())
      status = readEntryFile(data, [&](storage::RecordReader& entryFile) {
        plan = planImport(csv, shownPath, entryFile, adding.file);
        return storage::Status::success();
      });
    std::string().swap(csv);  // its logins are records now; the copy is better off with the memory
    if (status.ok() && plan.result.ok() && !plan.records.empty())
      status = addEntries(lock, data, plan.records);
  }
  if (!status.ok()) return CommandResult::failed(failureMessage(status, adding));
  if (plan.result.isFailure()) return plan.result;
  report(plan, shownPath, output);
  return plan.skipped == 0 ? CommandResult::done() : CommandResult::incomplete();
}

}  // namespace ombrel
