// SPDX-License-Identifier: MIT
#include "importexport/CsvReader.h"

#include <csv.h>

#include <vector>

namespace ombrel {
namespace {

// libcsv takes blanks around an unquoted field for padding by default; in a
// password they are part of it.
int noBlanks(unsigned char) { return 0; }

// What libcsv's callbacks gather between two calls of csv_parse().
struct Rows {
  explicit Rows(const CsvRowHandler& handler) : each(handler) {}

  const CsvRowHandler& each;
  std::vector<std::string> fields;  // kept from row to row, so their buffers are reused
  std::size_t count = 0;            // fields of the current row so far
  std::size_t fieldsEnded = 0;      // fields of the whole file so far
  std::size_t rowLine = 0;
  bool betweenRows = true;
  bool stopped = false;
};

void onField(void* bytes, std::size_t size, void* data) {
  Rows& rows = *static_cast<Rows*>(data);
  if (rows.count == rows.fields.size()) rows.fields.emplace_back();
  std::string& field = rows.fields[rows.count++];
  // libcsv hands over no buffer at all for an empty field at the very start.
  if (size == 0) {
    field.clear();
  } else {
    field.assign(static_cast<const char*>(bytes), size);
  }
  ++rows.fieldsEnded;
}

void onRowEnd(int, void* data) {
  Rows& rows = *static_cast<Rows*>(data);
  if (!rows.stopped && !rows.each(rows.rowLine, {rows.fields.data(), rows.count}))
    rows.stopped = true;
  rows.count = 0;
  rows.betweenRows = true;
}

bool onlyLineEnds(std::string_view line) { return line.find_first_not_of("\r\n") == line.npos; }

CsvProblem problemOf(int error, std::size_t line) {
  if (error == CSV_EPARSE) return {CsvProblem::Kind::MisplacedQuote, line};
  return {CsvProblem::Kind::OutOfMemory, line};
}

class Parser {
 public:
  Parser() : ready_(csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) == 0) {
    if (ready_) csv_set_space_func(&parser_, noBlanks);
  }
  ~Parser() {
    if (ready_) csv_free(&parser_);
  }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  bool ready() const { return ready_; }
  csv_parser* get() { return &parser_; }

 private:
  csv_parser parser_{};
  bool ready_;
};

}  // namespace

CsvProblem readCsv(std::string_view bytes, const CsvRowHandler& each) {
  Parser parser;
  if (!parser.ready()) return {CsvProblem::Kind::OutOfMemory, 0};
  Rows rows(each);
  // The file goes to libcsv a line at a time, so that the line of a row, and
  // of a quoted field that never closes, is known: libcsv counts no lines.
  std::size_t line = 0;
  std::size_t quoteOpenedOn = 0;
  bool inQuote = false;
  while (!bytes.empty() && !rows.stopped) {
    ++line;
    const std::size_t lineEnd = bytes.find('\n');
    const std::string_view text =
        bytes.substr(0, lineEnd == bytes.npos ? bytes.size() : lineEnd + 1);
    bytes.remove_prefix(text.size());
    if (rows.betweenRows && !onlyLineEnds(text)) {
      rows.rowLine = line;
      rows.betweenRows = false;
    }
    const std::size_t fieldsBefore = rows.fieldsEnded;
    if (csv_parse(parser.get(), text.data(), text.size(), onField, onRowEnd, &rows) != text.size())
      return problemOf(csv_error(parser.get()), line);
    // A quoted field open after this line opened on it, unless it was open
    // before and no field ended since.
    const bool open = parser.get()->quoted != 0;
    if (open && (!inQuote || rows.fieldsEnded != fieldsBefore)) quoteOpenedOn = line;
    inQuote = open;
  }
  if (rows.stopped) return {};
  if (csv_fini(parser.get(), onField, onRowEnd, &rows) != 0)
    return {CsvProblem::Kind::UnterminatedQuote, quoteOpenedOn};
  return {};
}

}  // namespace ombrel
