// SPDX-License-Identifier: MIT
#include "importexport/LoginExport.h"

#include <cerrno>
#include <string>

#include "datafolder/EntryRewrite.h"
#include "datafolder/FailureReport.h"
#include "importexport/CsvExport.h"
#include "importexport/CsvFormats.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"

namespace ombrel {
namespace {

const QString kNothingExported = QStringLiteral("Nothing was exported.");

CommandResult alreadyThere(const QString& shownPath) {
  return CommandResult::failed(
      QStringLiteral("%1 already exists. An export never writes over a file: name a new one.\n\n%2")
          .arg(shownPath, kNothingExported));
}

QString exported(std::size_t entries, const QString& shownPath, const CsvFormat& format) {
  return QStringLiteral(
             "Exported %1 %2 to %3 (%4 format).\nIt holds every password in "
             "plain text: keep it private, and delete it once it has served.")
      .arg(entries)
      .arg(entries == 1 ? QStringLiteral("entry") : QStringLiteral("entries"), shownPath,
           QString::fromUtf8(format.exportName));
}

// Hands the rows over one by one, so that a terminal shows the line breaks
// inside a field escaped and only those between rows as they are. A line
// end outside quotes ends a row.
storage::Status writeRows(std::string_view csv, CommandOutput& output) {
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    if (csv[i] == '"') quoted = !quoted;
    if (csv[i] != '\n' || quoted) continue;
    if (storage::Status status = output.writeData(csv.substr(start, i + 1 - start)); !status.ok())
      return status;
    start = i + 1;
  }
  return output.flushData();
}

}  // namespace

CommandResult refuseExistingFile(const std::filesystem::path& path, const QString& shownPath) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    return CommandResult::done();
  return alreadyThere(shownPath);
}

CommandResult exportLogins(const storage::DataDirectory& data,
                           const std::optional<std::filesystem::path>& path,
                           const QString& shownPath, const CsvFormat& format,
                           CommandOutput& output) {
  std::string csv;
  std::size_t entries = 0;
  const storage::Status read = readEntryFile(data, [&](storage::RecordReader& entryFile) {
    return exportCsv(entryFile, format, csv, entries);
  });
  if (!read.ok())
    return CommandResult::failed(
        failureMessage(read, {data.file(storage::kEntryFile), QString(), kNothingExported}));

  const storage::Status written =
      path ? storage::createPrivateFile(*path, csv) : writeRows(csv, output);
  if (written.error() == EEXIST) return alreadyThere(shownPath);
  if (!written.ok())
    return CommandResult::failed(failureMessage(
        written, {path.value_or(shownPath.toStdString()),
                  QStringLiteral("The export could not be written"), kNothingExported}));
  output.notice(exported(entries, shownPath, format));
  return CommandResult::done();
}

}  // namespace ombrel
