// SPDX-License-Identifier: MIT
#include "audit/ShowCommands.h"

#include "datafolder/EntryRewrite.h"
#include "storage/EntryFile.h"
#include "storage/RecordReader.h"
#include "text/StoredText.h"
#include "web/WebCommands.h"

namespace ombrel {

CommandText listNames(const storage::DataDirectory& data) {
  const StoredEntries stored = readEntries(data);
  if (!stored.status.ok()) return entryFileFailure(data, stored.status);
  CommandText text;
  for (const Entry& entry : stored.entries) text.out.append(entry.name.value_or(QString()));
  return text;
}

std::optional<ShownField> shownFieldNamed(QStringView word) {
  static constexpr struct {
    const char16_t* word;
    ShownField field;
  } kFields[] = {{u"name", ShownField::Name},
                 {u"url", ShownField::Url},
                 {u"user", ShownField::User},
                 {u"password", ShownField::Password},
                 {u"notes", ShownField::Notes}};
  for (const auto& known : kFields)
    if (word == QStringView(known.word)) return known.field;
  return std::nullopt;
}

QStringList entryLines(const Entry& entry, ShownField field) {
  switch (field) {
    case ShownField::Name:
      return {textOf(entry.name)};
    case ShownField::Url:
      return {siteUrl(textOf(entry.name))};
    case ShownField::User:
      return {textOf(entry.user)};
    case ShownField::Password:
      return {textOf(entry.password)};
    case ShownField::Notes:
      return linesOf(textOf(entry.notes));
    case ShownField::All:
      break;
  }
  QStringList lines = {QStringLiteral("Web Site: ") + textOf(entry.name),
                       QStringLiteral("User Name: ") + textOf(entry.user),
                       QStringLiteral("Password: ") + textOf(entry.password),
                       QStringLiteral("Notes:")};
  // A last line end closes the notes' last line rather than starting one.
  QStringList notes = linesOf(textOf(entry.notes));
  if (notes.last().isEmpty()) notes.removeLast();
  for (const QString& line : notes) lines.append(QStringLiteral("  ") + line);
  return lines;
}

CommandText showEntry(const storage::DataDirectory& data, const QString& name, ShownField field) {
  const StoredText key = toStored(name);
  storage::NamedRecords found;
  if (key.ok() && !key.stored.empty()) {
    found.status = readEntryFile(data, [&](storage::RecordReader& reader) {
      found = storage::recordsNamed(reader, key.stored);
      return found.status;
    });
    if (!found.status.ok()) return entryFileFailure(data, found.status);
  }
  CommandText text;
  if (found.first) {
    text.out = entryLines(decodedEntry(*found.first), field);
  } else {
    text.result = CommandResult::failed(QStringLiteral("No entry is named %1.").arg(name));
  }
  return text;
}

}  // namespace ombrel
