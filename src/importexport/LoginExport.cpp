// SPDX-License-Identifier: MIT
#include "importexport/LoginExport.h"

#include <string>

#include "importexport/CommandOutput.h"
#include "importexport/CsvExport.h"
#include "storage/DataDirectory.h"
#include "storage/DataFiles.h"
#include "storage/RecordReader.h"
#include "text/UserMessages.h"

namespace ombrel {
namespace {

const QString kNothingExported = QStringLiteral("Nothing was exported.");

QString alreadyThere(const QString& shownPath) {
  return QStringLiteral(
             "%1 already exists. An export never writes over a file: name a new "
             "one.\n\n%2")
      .arg(shownPath, kNothingExported);
}

// The CSV text of the entry file; a missing entry file has no entries.
storage::Status csvOfEntryFile(const std::filesystem::path& entryFile, ExportFormat format,
                               std::string& csv, std::size_t& entries) {
  storage::InputFile file;
  storage::MemorySource nothing{std::string_view()};
  storage::Status status = file.open(entryFile);
  const bool missing = status.isMissing();
  if (!status.ok() && !missing) return status;
  csv.reserve(missing ? 0 : file.sizeWhenOpened() + file.sizeWhenOpened() / 2);
  storage::RecordReader reader(missing ? static_cast<storage::ByteSource&>(nothing) : file);
  return exportCsv(reader, format, csv, entries);
}

QString exported(std::size_t entries, const QString& shownPath, ExportFormat format) {
  return QStringLiteral(
             "Exported %1 %2 to %3 (%4 format).\nIt holds every password in "
             "plain text: keep it private, and delete it once it has served.")
      .arg(entries)
      .arg(entries == 1 ? QStringLiteral("entry") : QStringLiteral("entries"), shownPath,
           QString::fromLatin1(exportFormatName(format)));
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

bool refuseExistingFile(const std::filesystem::path& path, const QString& shownPath,
                        CommandOutput& output) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return false;
  output.notice(alreadyThere(shownPath));
  return true;
}

bool exportLogins(const storage::DataDirectory& data,
                  const std::optional<std::filesystem::path>& path, const QString& shownPath,
                  ExportFormat format, CommandOutput& output) {
  const auto entryFile = data.file(storage::kEntryFile);
  std::string csv;
  std::size_t entries = 0;
  if (const storage::Status read = csvOfEntryFile(entryFile, format, csv, entries); !read.ok()) {
    output.notice(read.isDamaged()
                      ? damagedEntryFile(entryFile, read.damagedTail(), kNothingExported)
                      : fileProblem("The entry file could not be read", entryFile, read) + "\n\n" +
                            kNothingExported);
    return false;
  }

  const storage::Status written =
      path ? storage::createPrivateFile(*path, csv) : writeRows(csv, output);
  if (!written.ok()) {
    output.notice(written.error() == EEXIST
                      ? alreadyThere(shownPath)
                      : fileProblem("The export could not be written",
                                    path.value_or(shownPath.toStdString()), written) +
                            "\n\n" + kNothingExported);
    return false;
  }
  output.notice(exported(entries, shownPath, format));
  return true;
}

}  // namespace ombrel
