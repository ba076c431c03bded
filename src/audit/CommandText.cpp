// SPDX-License-Identifier: MIT
#include "audit/CommandText.h"

#include "datafolder/FailureReport.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/Status.h"

namespace ombrel {

CommandText entryFileFailure(const storage::DataDirectory& data, const storage::Status& status) {
  const Task task{data.file(storage::kEntryFile), QString(), QString()};
  CommandText text;
  text.result = CommandResult::failed(failureMessage(status, task).trimmed());
  return text;
}

QStringList linesOf(const QString& text) {
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return lines.split(u'\n');
}

}  // namespace ombrel
