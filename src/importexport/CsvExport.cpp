// SPDX-License-Identifier: MIT
#include "importexport/CsvExport.h"

#include <algorithm>
#include <vector>

#include "importexport/TextEncoding.h"
#include "storage/RecordReader.h"
#include "web/WebCommands.h"

namespace ombrel {
namespace {

// Where the text of an exported column comes from.
enum class Source { Name, Url, User, Password, Notes, Fixed };

struct ExportColumn {
  const char* header;
  Source source;
  const char* fixed = "";  // the text of a Fixed column
};

const std::vector<ExportColumn>& columnsOf(ExportFormat format) {
  static const std::vector<ExportColumn> keepassxc = {
      {"Group", Source::Fixed, "Ombrel"}, {"Title", Source::Name}, {"Username", Source::User},
      {"Password", Source::Password},     {"URL", Source::Url},    {"Notes", Source::Notes}};
  // Bitwarden's individual vault: every entry a login, never asking again for
  // the master password; folders, favourites, custom fields and TOTP empty.
  static const std::vector<ExportColumn> bitwarden = {
      {"folder", Source::Fixed},        {"favorite", Source::Fixed},
      {"type", Source::Fixed, "login"}, {"name", Source::Name},
      {"notes", Source::Notes},         {"fields", Source::Fixed},
      {"reprompt", Source::Fixed, "0"}, {"login_uri", Source::Url},
      {"login_username", Source::User}, {"login_password", Source::Password},
      {"login_totp", Source::Fixed}};
  static const std::vector<ExportColumn> chrome = {{"name", Source::Name},
                                                   {"url", Source::Url},
                                                   {"username", Source::User},
                                                   {"password", Source::Password},
                                                   {"note", Source::Notes}};
  switch (format) {
    case ExportFormat::Bitwarden:
      return bitwarden;
    case ExportFormat::Chrome:
      return chrome;
    case ExportFormat::KeePassXC:
      break;
  }
  return keepassxc;
}

// Appends the UTF-8 form of a text of the window, most often ASCII.
void appendUtf8(std::string& out, const QString& text) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(text.size()));
  char* to = out.data() + start;
  for (const QChar c : text) {
    if (c.unicode() >= 0x80) {
      out.resize(start);
      out += text.toStdString();
      return;
    }
    *to++ = static_cast<char>(c.unicode());
  }
}

// Writes each field straight into the CSV text, quoted, rather than through
// libcsv's writer, which takes a field a byte at a time and wants a buffer of
// its own for it: an export writes every field of every entry.
class RowWriter {
 public:
  RowWriter(std::string& csv, const std::vector<ExportColumn>& columns)
      : csv_(csv), columns_(columns) {}

  void header() {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) csv_ += ',';
      quoted([&] { csv_ += columns_[i].header; });
    }
    csv_ += '\n';
  }

  void row(const storage::RecordView& record) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) csv_ += ',';
      quoted([&] { appendColumn(record, columns_[i]); });
    }
    csv_ += '\n';
  }

 private:
  // Every field quoted, a quote in it doubled, as RFC 4180 has it.
  template <typename Append>
  void quoted(const Append& append) {
    csv_ += '"';
    const std::size_t start = csv_.size();
    append();
    const auto quotes = static_cast<std::size_t>(std::count(csv_.begin() + start, csv_.end(), '"'));
    if (quotes > 0) {
      // Moved from the end backwards, each quote written twice.
      std::size_t from = csv_.size();
      csv_.resize(csv_.size() + quotes);
      std::size_t to = csv_.size();
      while (from > start) {
        const char c = csv_[--from];
        csv_[--to] = c;
        if (c == '"') csv_[--to] = c;
      }
    }
    csv_ += '"';
  }

  void appendColumn(const storage::RecordView& record, const ExportColumn& column) {
    switch (column.source) {
      case Source::Name:
        appendUtf8OfStored(csv_, record.name.text);
        break;
      case Source::Url:
        appendUrl(record.name.text);
        break;
      case Source::User:
        appendUtf8OfStored(csv_, record.user.text);
        break;
      case Source::Password:
        appendUtf8OfStored(csv_, record.password.text);
        break;
      case Source::Notes: {
        const std::size_t start = csv_.size();
        appendUtf8OfStored(csv_, record.notes.text);
        // CR LF, as the notes box holds it, becomes LF, as other programs write it.
        csv_.erase(withoutCrBeforeLf(csv_.begin() + static_cast<std::ptrdiff_t>(start), csv_.end()),
                   csv_.end());
        break;
      }
      case Source::Fixed:
        csv_ += column.fixed;
        break;
    }
  }

  // The URL Open Site opens for the name; nothing for a name of blanks.
  void appendUrl(std::string_view storedName) {
    const QString name = plainOfStored(storedName);
    if (name.trimmed().isEmpty()) return;
    appendUtf8(csv_, siteUrl(name));
  }

  // Moves the text over every CR that comes right before an LF; returns the
  // new end.
  static std::string::iterator withoutCrBeforeLf(std::string::iterator from,
                                                 std::string::iterator end) {
    std::string::iterator to = from;
    for (; from != end; ++from)
      if (!(*from == '\r' && from + 1 != end && from[1] == '\n')) *to++ = *from;
    return to;
  }

  std::string& csv_;
  const std::vector<ExportColumn>& columns_;
};

}  // namespace

storage::Status exportCsv(storage::RecordReader& entryFile, ExportFormat format, std::string& csv,
                          std::size_t& entries) {
  entries = 0;
  RowWriter writer(csv, columnsOf(format));
  writer.header();
  return entryFile.forEachRecord([&](const storage::RecordView& record) {
    writer.row(record);
    ++entries;
    return storage::Status::success();
  });
}

}  // namespace ombrel
