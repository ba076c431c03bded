// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "importexport/CsvFormat.h"
#include "importexport/TextEncoding.h"

namespace ombrel {

// A column as the file holds it, decoded only when it is needed as a text: a
// user name or a password goes into the entry file just as it is, and most
// are never needed as a text.
struct CsvText {
  std::string_view bytes;
  TextEncoding encoding = TextEncoding::Utf8;

  bool isEmpty() const { return bytes.empty(); }
  QString text() const { return decodeText(bytes, encoding); }
};

// The columns of one row of a CSV file, decoded as they are asked for: most
// of a row's columns are never looked at.
struct CsvRow {
  std::span<const std::string> fields;
  TextEncoding encoding = TextEncoding::Utf8;

  // The column at `index`; empty for -1 (no such column) and for a column
  // the row stops short of.
  CsvText column(int index) const;
  QString text(int index) const { return column(index).text(); }
};

// A login as Ombrel keeps it, still in plain text. The user name and the
// password are their columns, exactly as the file gives them.
struct Login {
  QString name;
  CsvText user;
  CsvText password;
  QString notes;
};

// Maps a row to an entry. The name is the address, or the title when there is
// no address or the address is the very URL Open Site makes of the title;
// secure notes have no address. Secrets that have no field of their own
// (custom fields, further addresses, a TOTP) follow the notes a line each;
// every line break of the notes becomes CR LF. Nothing when the login has
// neither an address nor a title to be named by.
std::optional<Login> loginOf(const CsvFormat& format, const CsvRow& row);

// The name for a second account on the same address: the user name, every
// UTF-8 byte but ASCII letters, digits and "-._~" percent-encoded, as the
// URL's user part: "https://bob@site/" for "https://site/", "bob@site" for
// "site".
QString renamedFor(const QString& name, const QString& user);

}  // namespace ombrel
