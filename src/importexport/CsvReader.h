// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace ombrel {

// Why a CSV file could not be read to its end.
struct CsvProblem {
  enum class Kind {
    None,
    UnterminatedQuote,  // a quoted field runs to the end of the file
    MisplacedQuote,     // a quote inside an unquoted field, or text after a closing quote
    OutOfMemory,
  };
  Kind kind = Kind::None;
  // For UnterminatedQuote the line on which the quoted field opens, for
  // MisplacedQuote the line of the quote; counted from 1.
  std::size_t line = 0;

  bool ok() const { return kind == Kind::None; }
};

// The fields of one row as raw bytes, and the line the row starts on.
using CsvRowHandler = std::function<bool(std::size_t line, std::span<const std::string> fields)>;

// Reads the rows of a CSV file (RFC 4180) with libcsv, strictly: quoted
// fields may hold commas, doubled quotes and line breaks; blanks are part of
// a field, quoted or not; lines end in CR LF or LF, the last one perhaps in
// nothing; empty lines are no rows. Each row goes to `each` as it is read;
// when `each` returns false the reading stops there without a problem.
CsvProblem readCsv(std::string_view bytes, const CsvRowHandler& each);

}  // namespace ombrel
