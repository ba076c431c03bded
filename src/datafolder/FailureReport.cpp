// SPDX-License-Identifier: MIT
#include "datafolder/FailureReport.h"

#include "datafolder/WriteLock.h"
#include "interfaces/Dialogs.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

QString withConsequence(const QString& problem, const QString& consequence) {
  return consequence.isEmpty() ? problem : problem + "\n\n" + consequence;
}

}  // namespace

QString failureMessage(const storage::Status& status, const Task& task) {
  if (status.isBusy()) {
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(writeLockPatience()).count();
    return withConsequence(
        QStringLiteral("Another Ombrel is writing to the data files in this folder:\n%1\n\n"
                       "It did not finish within %2 seconds.")
            .arg(displayPath(task.file.parent_path()))
            .arg(seconds),
        task.consequence);
  }
  if (status.isDamaged())
    return damagedEntryFile(task.file, status.damagedTail(), task.consequence);
  if (status.isWriteFailure())
    return withConsequence(fileProblem(task.writeFailure, task.file, status), task.consequence);
  return withConsequence(fileProblem(task.readFailure, task.file, status), task.consequence);
}

void report(Dialogs& dialogs, const storage::Status& status, const Task& task) {
  dialogs.warn(failureMessage(status, task));
}

}  // namespace ombrel
