// SPDX-License-Identifier: MIT
#include "importexport/LoginImport.h"

#include <optional>
#include <string>

#include "datafolder/EntryRewrite.h"
#include "datafolder/FailureReport.h"
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

  // The lock is held from the first read of the entry file to the rename, so
  // that no other Ombrel changes it in between, and let go before anything
  // is said.
  storage::Status status = storage::Status::success();
  ImportPlan plan;
  {
    const WriteLock lock = WriteLock::take(data);
    status = lock.status();
    if (status.ok()) plan = planFrom(data, csv, shownPath);
    if (status.ok()) status = plan.entryFile;
    std::string().swap(csv);  // its logins are records now; the copy is better off with the memory
    if (status.ok() && plan.problem.isEmpty() && !plan.records.empty())
      status = addEntries(lock, data, plan.records);
  }
  if (!plan.problem.isEmpty()) {
    output.notice(plan.problem);
    return false;
  }
  if (!status.ok()) {
    OutputDialogs dialogs(output);
    report(dialogs, status,
           {data.file(storage::kEntryFile),
            QStringLiteral("The logins could not be added to the entry file"),
            importText::nothingImported()});
    return false;
  }
  report(plan, shownPath, output);
  return plan.skipped == 0;
}

}  // namespace ombrel
