// SPDX-License-Identifier: MIT
#include "importexport/ImportPlanner.h"

#include <QSet>
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "datafolder/FailureReport.h"
#include "importexport/CsvFormats.h"
#include "importexport/CsvReader.h"
#include "importexport/ImportReport.h"
#include "importexport/LoginMapping.h"
#include "storage/RecordReader.h"
#include "storage/RecordWriter.h"
#include "text/StoredText.h"

namespace ombrel {
namespace {

using importText::Field;

// The records an import compares its logins with: those of the entry file
// and those it adds, found by name and by all four fields, as the program
// finds entries. An unset field counts as an empty one, since the window
// shows both as empty.
class KnownRecords {
 public:
  enum class Match {
    NewName,    // no record has its name
    NameTaken,  // records have its name, none its four fields
    Identical,  // a record has its four fields
  };

  void reserve(std::size_t names) { byName_.reserve(names); }

  void add(const storage::Record& record) {
    byName_[record.name.value_or("")].push_back(otherFields(record));
  }

  Match match(const storage::Record& record) const {
    const auto found = byName_.find(record.name.value_or(""));
    if (found == byName_.end()) return Match::NewName;
    const std::vector<std::string>& records = found->second;
    return std::find(records.begin(), records.end(), otherFields(record)) != records.end()
               ? Match::Identical
               : Match::NameTaken;
  }

 private:
  // A stored text never holds a comma, so the fields joined by commas tell
  // records of one name apart.
  static std::string otherFields(const storage::Record& r) {
    return r.user.value_or("") + ',' + r.password.value_or("") + ',' + r.notes.value_or("");
  }

  // For each name, the other fields of every record of that name.
  std::unordered_map<std::string, std::vector<std::string>> byName_;
};

// The record New would write for the login, or the field and character that
// stop it from being stored: a password is never stored altered.
struct StoredLogin {
  storage::Record record;
  Field badField = Field::Name;
  QString badCharacter;
};

StoredLogin storedFormOf(const Login& login) {
  StoredLogin stored;
  const QString* texts[] = {&login.name, &login.user, &login.password, &login.notes};
  storage::Field* fields[] = {&stored.record.name, &stored.record.user, &stored.record.password,
                              &stored.record.notes};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    StoredText text = toStored(*texts[i]);
    if (!text.ok()) {
      stored.badField = static_cast<Field>(i);
      stored.badCharacter = text.badCharacter;
      return stored;
    }
    // As New writes a record: an empty user name or password is left unset.
    const bool unsetWhenEmpty = i == 1 || i == 2;
    if (!(unsetWhenEmpty && text.stored.empty())) *fields[i] = std::move(text.stored);
  }
  return stored;
}

bool allBlank(std::span<const std::string> fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
    return field.find_first_not_of(" \t") == std::string::npos;
  });
}

// The fewest bytes the stored login can take: every character of the user
// name, the password and the notes is one stored byte. The name is left out,
// since which column gives it is decided later.
std::size_t storedBytesAtLeast(const CsvHeader& header, const CsvRow& row) {
  std::size_t bytes = 0;
  for (ColumnRole role : {ColumnRole::User, ColumnRole::Password, ColumnRole::Notes,
                          ColumnRole::Fields, ColumnRole::Totp}) {
    const std::string_view field = row.bytes(header.column(role));
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
QString shortNameOf(const CsvHeader& header, const CsvRow& row) {
  constexpr std::size_t kShown = 400;
  std::string_view name = row.bytes(header.column(ColumnRole::Address));
  if (name.empty()) name = row.bytes(header.column(ColumnRole::Title));
  return decodeText(name.substr(0, kShown), row.encoding);
}

class Planner {
 public:
  Planner(std::string_view csv, const QString& shownPath)
      : rows_(withoutByteOrderMark(csv)), shownPath_(shownPath) {}

  ImportPlan plan(storage::RecordReader& entryFile, const std::filesystem::path& entryFilePath) {
    encoding_ = detectEncoding(rows_);
    if (!readHeader()) return std::move(plan_);
    // Room for a name a row, and as many again for the entry file's.
    known_.reserve(2 * static_cast<std::size_t>(std::count(rows_.begin(), rows_.end(), '\n')));
    const storage::Status read = entryFile.forEachRecord([&](const storage::RecordView& record) {
      known_.add(storage::recordOf(record));
      return storage::Status::success();
    });
    if (!read.ok()) {
      plan_.result = CommandResult::failed(
          failureMessage(read, {entryFilePath, QString(), importText::nothingImported()}));
      return std::move(plan_);
    }
    if (header_.format->folderType) learnFolders();
    readLogins();
    return std::move(plan_);
  }

 private:
  bool readHeader() {
    QStringList header;
    const CsvProblem problem =
        readCsv(rows_, [&](std::size_t, std::span<const std::string> fields) {
          // Column names are short: a field of a megabyte is no header, and
          // decoding all of it would double what it takes.
          constexpr std::size_t kLongestName = 1024;
          for (const std::string& field : fields)
            header.append(decodeText(std::string_view(field).substr(0, kLongestName), encoding_));
          return false;  // the header alone
        });
    if (!problem.ok()) {
      plan_.result = CommandResult::failed(importText::unreadableCsv(shownPath_, problem));
      return false;
    }
    std::optional<CsvHeader> recognised = recogniseHeader(header);
    if (!recognised) {
      plan_.result = CommandResult::failed(importText::unknownHeader(shownPath_, header));
      return false;
    }
    header_ = std::move(*recognised);
    plan_.format = header_.format;
    plan_.dropped = header_.dropped;
    return true;
  }

  void readLogins() {
    bool header = true;
    const CsvProblem problem =
        readCsv(rows_, [&](std::size_t line, std::span<const std::string> fields) {
          if (!header) take(line, CsvRow{fields, encoding_});
          header = false;
          return true;
        });
    if (!problem.ok())
      plan_.result = CommandResult::failed(importText::unreadableCsv(shownPath_, problem));
  }

  // The folders the rows are in, which their own rows name.
  void learnFolders() {
    readCsv(rows_, [&](std::size_t, std::span<const std::string> fields) {
      const QString folder = CsvRow{fields, encoding_}.text(header_.column(ColumnRole::Folder));
      if (!folder.isEmpty()) folders_.insert(folder);
      return true;
    });
  }

  bool isFolderRow(const CsvRow& row) const {
    const char* folderType = header_.format->folderType;
    if (!folderType) return false;
    if (row.text(header_.column(ColumnRole::Type))
            .trimmed()
            .compare(QLatin1String(folderType), Qt::CaseInsensitive) == 0)
      return true;
    const int nameColumn = header_.column(ColumnRole::Title);
    for (int i = 0; i < static_cast<int>(row.fields.size()); ++i)
      if (i != nameColumn && !row.fields[static_cast<std::size_t>(i)].empty()) return false;
    return folders_.contains(row.text(nameColumn));
  }

  // Decides on the login of one row.
  void take(std::size_t line, const CsvRow& row) {
    // A row of empty fields (a spreadsheet's trailing line) holds no login.
    if (allBlank(row.fields)) return;
    if (isFolderRow(row)) {
      ++plan_.folderRows;
      return;
    }
    // Known too large from its bytes alone, a login is never decoded: that
    // would take twice its size again, for nothing.
    if (storedBytesAtLeast(header_, row) >= storage::RecordReader::kMaxRecordBytes)
      return skip(importText::skippedTooLarge(shortNameOf(header_, row), line));
    const std::optional<Login> login = loginOf(header_, row);
    if (!login) return skip(importText::skippedUnnamed(line));
    takeLogin(line, *login);
  }

  void takeLogin(std::size_t line, const Login& login) {
    StoredLogin stored = storedFormOf(login);
    if (!stored.badCharacter.isEmpty())
      return skip(
          importText::skippedUnstorable(login.name, line, stored.badField, stored.badCharacter));
    storage::Record& record = stored.record;
    using Match = KnownRecords::Match;
    Match match = known_.match(record);
    QString newName;
    if (match == Match::NameTaken) {
      // A second account on the same address: stored under the address with
      // the user name in it, which Open Site still opens.
      if (login.user.isEmpty()) return skip(importText::skippedClash(login.name, line));
      newName = renamedFor(login.name, login.user);
      record.name = toStored(newName).stored;
      match = known_.match(record);
      if (match == Match::NameTaken)
        return skip(importText::skippedClashRenamed(login.name, line, newName));
    }
    if (match == Match::Identical) {
      ++plan_.alreadyThere;
      return;
    }
    // Wherever it stood, a record too large for the reader would cut the
    // entry file short at the next start.
    if (!storage::fitsOneRecord(record)) return skip(importText::skippedTooLarge(login.name, line));
    if (!newName.isEmpty()) {
      ++plan_.renamed;
      plan_.lines.append(importText::renamed(login.name, line, newName));
    }
    known_.add(record);
    plan_.records.push_back(std::move(record));
  }

  void skip(QString line) {
    ++plan_.skipped;
    plan_.lines.append(std::move(line));
  }

  std::string_view rows_;
  QString shownPath_;
  TextEncoding encoding_ = TextEncoding::Utf8;
  CsvHeader header_;
  KnownRecords known_;
  QSet<QString> folders_;
  ImportPlan plan_;
};

}  // namespace

ImportPlan planImport(std::string_view csv, const QString& shownPath,
                      storage::RecordReader& entryFile,
                      const std::filesystem::path& entryFilePath) {
  return Planner(csv, shownPath).plan(entryFile, entryFilePath);
}

}  // namespace ombrel
