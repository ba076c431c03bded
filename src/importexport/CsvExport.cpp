// SPDX-License-Identifier: MIT
#include "importexport/CsvExport.h"

#include <QString>

#include "importexport/CsvFormats.h"
#include "storage/RecordReader.h"
#include "text/StoredText.h"
#include "web/WebCommands.h"

namespace ombrel {
namespace {

// Every field quoted, a quote in it doubled, as RFC 4180 has it.
void appendField(std::string& csv, QString text) {
  csv += '"';
  csv += text.replace(u'"', QStringLiteral("\"\"")).toStdString();
  csv += '"';
}

// What an exported column holds for one record.
QString columnText(const CsvColumn& column, const storage::RecordView& record) {
  switch (column.role) {
    case ColumnRole::Title:
      return fromStored(record.name.text);
    case ColumnRole::Address: {
      // The URL Open Site opens for the name; nothing for a name of blanks.
      const QString name = fromStored(record.name.text);
      return name.trimmed().isEmpty() ? QString() : siteUrl(name);
    }
    case ColumnRole::User:
      return fromStored(record.user.text);
    case ColumnRole::Password:
      return fromStored(record.password.text);
    case ColumnRole::Notes:
      // CR LF, as the notes box holds it, becomes LF, as other programs write it.
      return fromStored(record.notes.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    default:
      return QString::fromUtf8(column.fixed);
  }
}

template <typename Text>
void appendRow(std::string& csv, const CsvFormat& format, const Text& textOf) {
  bool first = true;
  for (const CsvColumn& column : format.columns) {
    if (!column.written) continue;
    if (!first) csv += ',';
    first = false;
    appendField(csv, textOf(column));
  }
  csv += '\n';
}

}  // namespace

storage::Status exportCsv(storage::RecordReader& entryFile, const CsvFormat& format,
                          std::string& csv, std::size_t& entries) {
  entries = 0;
  appendRow(csv, format, [](const CsvColumn& column) { return QString::fromUtf8(column.name); });
  return entryFile.forEachRecord([&](const storage::RecordView& record) {
    appendRow(csv, format, [&](const CsvColumn& column) { return columnText(column, record); });
    ++entries;
    return storage::Status::success();
  });
}

}  // namespace ombrel
