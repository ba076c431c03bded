// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string>

#include "importexport/CsvFormats.h"
#include "importexport/CsvText.h"

namespace ombrel {

// The columns of one row of a CSV file as the file holds them, decoded as
// they are asked for: most of a row's columns are never looked at.
struct CsvRow {
  std::span<const std::string> fields;
  TextEncoding encoding = TextEncoding::Utf8;

  // The bytes of the column at `index`; empty for -1 (no such column) and
  // for a column the row stops short of.
  std::string_view bytes(int index) const;
  QString text(int index) const { return decodeText(bytes(index), encoding); }
};

// A login as Ombrel keeps it, in plain text; the user name and the password
// exactly as the file gives them.
struct Login {
  QString name;
  QString user;
  QString password;
  QString notes;
};

// Maps a row to an entry. The name is the address, or the title when there is
// no address or the address is the very URL Open Site makes of the title;
// secure notes have no address. Secrets that have no field of their own
// (custom fields, further addresses, a TOTP) follow the notes a line each;
// every line break of the notes becomes CR LF. Nothing when the login has
// neither an address nor a title to be named by.
std::optional<Login> loginOf(const CsvHeader& header, const CsvRow& row);

// The name for a second account on the same address: the user name, every
// UTF-8 byte but ASCII letters, digits and "-._~" percent-encoded, as the
// URL's user part: "https://bob@site/" for "https://site/", "bob@site" for
// "site".
QString renamedFor(const QString& name, const QString& user);

}  // namespace ombrel
