// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace ombrel {

// What a column of another program's CSV file holds for an entry.
enum class ColumnRole {
  None,      // nothing Ombrel keeps: folders, favourites, dates and the like
  Address,   // the web address
  Title,     // the title or name the other program shows
  User,      // the user name
  Password,  //
  Notes,     //
  Totp,      // a TOTP secret or otpauth:// address
  Fields,    // custom fields, "name: value" a line
  Type,      // the item's type, which tells a secure note or a folder from a login
  Folder,    // the folder an item is in, which tells a folder's own row
};
inline constexpr std::size_t kColumnRoles = 10;

// One column of a format's header.
struct CsvColumn {
  const char* name;  // as the program writes it
  ColumnRole role = ColumnRole::None;
  // A column that later versions added: taken when it is there, but it does
  // not identify the format, so that older files are recognised too.
  bool later = false;
  // For a format we write: whether an export writes the column, and the
  // text it writes there when the column takes no field of ours (a title,
  // address, user name, password or notes).
  bool written = false;
  const char* fixed = "";
};

// Another program's CSV format, described once: how the import recognises
// and reads it, and how an export writes it.
struct CsvFormat {
  const char* name;                  // as the report names it: "KeePassXC"
  const char* whereExported;         // where that program writes its CSV file
  const char* exportName = nullptr;  // "--format NAME" for the formats we write
  std::vector<CsvColumn> columns;
  // Quirks of the import:
  bool addressList = false;                 // several addresses in one column, comma-separated
  const char* secureNoteType = nullptr;     // the type of a secure note, which has no address
  const char* secureNoteAddress = nullptr;  // the address a secure note is written at
  // Folders have rows of their own: a row of this type, or one with a name
  // and nothing else that is another row's folder, holds no login.
  const char* folderType = nullptr;
};

// Every known format; the last is the fallback for any spreadsheet with url,
// username and password columns. A header is tried against the format with
// the most identifying columns first, so that it is never taken for a format
// whose columns are only some of its own.
const std::vector<CsvFormat>& csvFormats();

// Whether a column holds only the other program's bookkeeping (folders,
// favourites, dates, ids and the like), which an import leaves out. The
// values of any other column that no field takes go into the notes.
bool isBookkeeping(const QString& columnName);

// The format an export writes by default, and the one "--format NAME" names.
const CsvFormat& defaultExportFormat();
const CsvFormat* exportFormatNamed(std::string_view name);
// "keepassxc, bitwarden or chrome".
QString exportFormatNames();
// "KeePassXC, Bitwarden, 1Password, LastPass, Firefox and Chrome": the
// programs whose files are recognised.
QString knownProgramNames();

// A header recognised: whose file it is and where each column is.
struct CsvHeader {
  const CsvFormat* format = nullptr;
  std::array<int, kColumnRoles> columns{};  // the index of each role's column, -1 for none
  QStringList dropped;  // the header's bookkeeping columns, as spelled there, each once
  // The columns no field takes that hold data, in header order: their values
  // go into the notes under their names as spelled there.
  std::vector<std::pair<int, QString>> extras;

  int column(ColumnRole role) const { return columns[static_cast<std::size_t>(role)]; }
};

// The first format whose identifying columns the header holds. Column names
// are compared without regard to case and to blanks around them, and their
// order does not matter. Nothing when no format fits.
std::optional<CsvHeader> recogniseHeader(const QStringList& header);

}  // namespace ombrel
