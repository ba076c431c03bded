// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace ombrel {

// What a column of a CSV file holds, as far as an entry is concerned.
enum class ColumnRole {
  Address,   // the web address
  Title,     // the title or name the other program shows
  User,      // the user name
  Password,  //
  Notes,     //
  Totp,      // a TOTP secret or otpauth:// address
  Fields,    // Bitwarden's custom fields, "name: value" a line
  Type,      // Bitwarden's item type: "login" or "note"
};
inline constexpr std::size_t kColumnRoles = 8;

// The programs whose CSV files are recognised by their header, in the order
// they are tried, and the fallback for any other spreadsheet.
enum class CsvSource { KeePassXC, Bitwarden, OnePassword, LastPass, Firefox, Chrome, Other };

// A header recognised: whose file it is and where each column is.
struct CsvFormat {
  CsvSource source = CsvSource::Other;
  // The index of the column of each role, -1 when the file has none.
  std::array<int, kColumnRoles> columns{};
  // The header's other columns, as spelled there, each once: Ombrel has no
  // place for what they hold.
  QStringList dropped;

  int column(ColumnRole role) const { return columns[static_cast<std::size_t>(role)]; }
};

// The name of a source as the report gives it: "KeePassXC", ..., "CSV".
QString sourceName(CsvSource source);

// The format whose identifying columns the header holds, trying the programs
// in order and the fallback last. Column names are compared without regard to
// case and to blanks around them, and their order does not matter. Nothing
// when no format fits.
std::optional<CsvFormat> recogniseHeader(const QStringList& header);

}  // namespace ombrel
