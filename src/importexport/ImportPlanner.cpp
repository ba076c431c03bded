// SPDX-License-Identifier: MIT
#include "importexport/ImportPlanner.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "importexport/CsvReader.h"
#include "importexport/ImportReport.h"
#include "importexport/LoginMapping.h"
#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "text/StoredText.h"

namespace ombrel {
namespace {

using importText::Field;

// A login in the form it is stored in, or the field and character that stop
// it from being stored.
struct StoredLogin {
  std::string name, user, password, notes;
  Field badField = Field::Name;
  QString badCharacter;
};

// The stored form of a text. Most texts of a login are ASCII, whose
// characters are their own Windows-1252 bytes, shifted as the codec shifts
// them; the rest go through the crossing every window text takes.
StoredText storedFormOf(const QString& text) {
  StoredText ascii;
  ascii.stored.resize(static_cast<std::size_t>(text.size()));
  const QChar* characters = text.constData();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = characters[i].unicode();
    if (c >= 0x80) return toStored(text);
    ascii.stored[static_cast<std::size_t>(i)] = static_cast<char>(c + storage::kShift);
  }
  return ascii;
}

// The same for a column as the file holds it: ASCII bytes are the same in
// UTF-8 and in Windows-1252, and are shifted without being decoded first.
StoredText storedFormOf(const CsvText& column) {
  StoredText ascii;
  ascii.stored.resize(column.bytes.size());
  for (std::size_t i = 0; i < column.bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(column.bytes[i]);
    if (byte >= 0x80) return storedFormOf(column.text());
    ascii.stored[i] = static_cast<char>(byte + storage::kShift);
  }
  return ascii;
}

StoredLogin storedFormOf(const Login& login) {
  StoredLogin stored;
  StoredText texts[] = {storedFormOf(login.name), storedFormOf(login.user),
                        storedFormOf(login.password), storedFormOf(login.notes)};
  std::string* const fields[] = {&stored.name, &stored.user, &stored.password, &stored.notes};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    if (!texts[i].ok()) {
      // A password is never stored altered: the whole login stays out.
      stored.badField = static_cast<Field>(i);
      stored.badCharacter = texts[i].badCharacter;
      return stored;
    }
    *fields[i] = std::move(texts[i].stored);
  }
  return stored;
}

// As New writes a record: an empty user name or password is left unset, the
// notes are always a text.
storage::Record recordOf(StoredLogin&& login) {
  const auto unsetWhenEmpty = [](std::string&& text) -> storage::Field {
    if (text.empty()) return std::nullopt;
    return std::move(text);
  };
  return {std::move(login.name), unsetWhenEmpty(std::move(login.user)),
          unsetWhenEmpty(std::move(login.password)), std::move(login.notes)};
}

// The fields as the known records are compared: an unset one as empty.
StoredFields fieldsOf(const storage::Record& record) {
  const auto view = [](const storage::Field& field) {
    return field ? std::string_view(*field) : std::string_view();
  };
  return {view(record.name), view(record.user), view(record.password), view(record.notes)};
}

// The fewest bytes the stored login can take: every character of the user
// name, the password and the notes is one stored byte. The name is left out,
// since which column gives it is decided later.
std::size_t storedBytesAtLeast(const CsvFormat& format, const CsvRow& row) {
  std::size_t bytes = 0;
  for (ColumnRole role : {ColumnRole::User, ColumnRole::Password, ColumnRole::Notes,
                          ColumnRole::Fields, ColumnRole::Totp}) {
    const std::string_view field = row.column(format.column(role)).bytes;
    bytes += row.encoding == TextEncoding::Windows1252
                 ? field.size()
                 : static_cast<std::size_t>(std::count_if(field.begin(), field.end(), [](char c) {
                     return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // a character's start
                   }));
  }
  return bytes;
}

// Enough of the login's name to tell it in a message, without decoding a
// name that may itself be huge.
QString shortNameOf(const CsvFormat& format, const CsvRow& row) {
  constexpr std::size_t kShown = 400;
  std::string_view name = row.column(format.column(ColumnRole::Address)).bytes;
  if (name.empty()) name = row.column(format.column(ColumnRole::Title)).bytes;
  return decodeText(name.substr(0, kShown), row.encoding);
}

bool allBlank(std::span<const std::string> fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
    return field.find_first_not_of(" \t") == std::string::npos;
  });
}

// At most the number of rows: every row but the last ends in a line end.
std::size_t rowsAtMost(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

}  // namespace

ImportPlanner::ImportPlanner(std::string_view csv, QString shownPath)
    : csv_(csv), shownPath_(std::move(shownPath)) {}

ImportPlan ImportPlanner::plan(storage::RecordReader* entryFile, std::size_t entryFileBytes) {
  const std::string_view rows = withoutByteOrderMark(csv_);
  encoding_ = detectEncoding(rows);
  if (!readHeader(rows)) return std::move(plan_);

  // The records to add and the text of the stored ones never grow: growing
  // would copy them, with both copies held for a moment.
  const std::size_t logins = rowsAtMost(rows);
  plan_.records.reserve(logins);
  known_.reserveStored(entryFileBytes);
  if (entryFile && !learnStoredRecords(*entryFile)) return std::move(plan_);
  known_.indexStored(logins);

  readLogins(rows);
  return std::move(plan_);
}

bool ImportPlanner::readHeader(std::string_view rows) {
  QStringList header;
  const CsvProblem problem = readCsv(rows, [&](std::size_t, std::span<const std::string> fields) {
    // Column names are short: a field of a megabyte is no header, and
    // decoding all of it would double what it takes.
    constexpr std::size_t kLongestName = 1024;
    for (const std::string& field : fields)
      header.append(decodeText(std::string_view(field).substr(0, kLongestName), encoding_));
    return false;  // the header alone
  });
  if (problem) {
    plan_.problem = importText::unreadableCsv(shownPath_, problem);
    return false;
  }
  const std::optional<CsvFormat> format = recogniseHeader(header);
  if (!format) {
    plan_.problem = importText::unknownHeader(shownPath_, header);
    return false;
  }
  format_ = *format;
  plan_.source = format_.source;
  plan_.dropped = format_.dropped;
  return true;
}

bool ImportPlanner::learnStoredRecords(storage::RecordReader& entryFile) {
  plan_.entryFile = entryFile.forEachRecord([this](const storage::RecordView& record) {
    known_.addStored({record.name.text, record.user.text, record.password.text, record.notes.text});
    return storage::Status::success();
  });
  return plan_.entryFile.ok();
}

void ImportPlanner::readLogins(std::string_view rows) {
  bool header = true;
  const CsvProblem problem =
      readCsv(rows, [&](std::size_t line, std::span<const std::string> fields) {
        if (!header) take(line, CsvRow{fields, encoding_});
        header = false;
        return true;
      });
  if (problem) plan_.problem = importText::unreadableCsv(shownPath_, problem);
}

void ImportPlanner::take(std::size_t line, const CsvRow& row) {
  // A row of empty fields (a spreadsheet's trailing line) holds no login.
  if (allBlank(row.fields)) return;
  // Known too large from its bytes alone, a login is never decoded: that
  // would take twice its size again, for nothing.
  if (storedBytesAtLeast(format_, row) >= storage::RecordReader::kMaxRecordBytes) {
    skip(importText::skippedTooLarge(shortNameOf(format_, row), line));
    return;
  }
  const std::optional<Login> login = loginOf(format_, row);
  if (!login) {
    skip(importText::skippedUnnamed(line));
    return;
  }
  takeLogin(line, *login);
}

void ImportPlanner::takeLogin(std::size_t line, const Login& login) {
  StoredLogin stored = storedFormOf(login);
  if (!stored.badCharacter.isEmpty()) {
    skip(importText::skippedUnstorable(login.name, line, stored.badField, stored.badCharacter));
    return;
  }
  storage::Record record = recordOf(std::move(stored));
  // Wherever it stood, a record too large for the reader would cut the entry
  // file short at the next start.
  if (!storage::fitsOneRecord(record)) {
    skip(importText::skippedTooLarge(login.name, line));
    return;
  }
  using Match = KnownRecords::Match;
  switch (known_.match(fieldsOf(record))) {
    case Match::Identical:
      ++plan_.alreadyThere;
      return;
    case Match::NewName:
      add(std::move(record));
      return;
    case Match::NameTaken:
      break;
  }
  // A second account on the same address: stored under the address with the
  // user name in it, which Open Site still opens.
  if (login.user.isEmpty()) {
    skip(importText::skippedClash(login.name, line));
    return;
  }
  const QString newName = renamedFor(login.name, login.user.text());
  record.name = storedFormOf(newName).stored;
  switch (known_.match(fieldsOf(record))) {
    case Match::Identical:
      ++plan_.alreadyThere;
      return;
    case Match::NameTaken:
      skip(importText::skippedClashRenamed(login.name, line, newName));
      return;
    case Match::NewName:
      break;
  }
  ++plan_.renamed;
  plan_.lines.append(importText::renamed(login.name, line, newName));
  add(std::move(record));
}

void ImportPlanner::add(storage::Record record) {
  plan_.records.push_back(std::move(record));
  known_.addLastAdded();
}

void ImportPlanner::skip(QString line) {
  ++plan_.skipped;
  plan_.lines.append(std::move(line));
}

}  // namespace ombrel
