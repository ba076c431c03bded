// SPDX-License-Identifier: MIT
#include "importexport/CsvFormats.h"

#include <QSet>

#include "importexport/ImportReport.h"

namespace ombrel {
namespace {

using Role = ColumnRole;
constexpr bool kLater = true;
constexpr bool kWritten = true;

// The headers as each program writes them, in the order they are tried: a
// header that fits two formats (LastPass's holds all of Chrome's identifying
// columns) goes to the first.
const std::vector<CsvFormat> kFormats = {
    {.name = "KeePassXC",
     .exportName = "keepassxc",
     .columns = {{"Group", Role::None, false, kWritten, "Ombrel"},
                 {"Title", Role::Title, false, kWritten},
                 {"Username", Role::User, false, kWritten},
                 {"Password", Role::Password, false, kWritten},
                 {"URL", Role::Address, false, kWritten},
                 {"Notes", Role::Notes, false, kWritten},
                 {"TOTP", Role::Totp, kLater},
                 {"Icon", Role::None, kLater},
                 {"Last Modified", Role::None, kLater},
                 {"Created", Role::None, kLater}}},
    // Bitwarden's individual vault. An export makes every entry a login that
    // never asks again for the master password.
    {.name = "Bitwarden",
     .exportName = "bitwarden",
     .columns = {{"folder", Role::None, false, kWritten},
                 {"favorite", Role::None, false, kWritten},
                 {"type", Role::Type, false, kWritten, "login"},
                 {"name", Role::Title, false, kWritten},
                 {"notes", Role::Notes, false, kWritten},
                 {"fields", Role::Fields, false, kWritten},
                 {"reprompt", Role::None, kLater, kWritten, "0"},
                 {"login_uri", Role::Address, false, kWritten},
                 {"login_username", Role::User, false, kWritten},
                 {"login_password", Role::Password, false, kWritten},
                 {"login_totp", Role::Totp, false, kWritten}},
     .addressList = true,
     .secureNoteType = "note"},
    {.name = "1Password",
     .columns = {{"Title", Role::Title},
                 {"Url", Role::Address},
                 {"Username", Role::User},
                 {"Password", Role::Password},
                 {"OTPAuth", Role::Totp},
                 {"Favorite"},
                 {"Archived"},
                 {"Tags"},
                 {"Notes", Role::Notes}}},
    {.name = "LastPass",
     .columns = {{"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"totp", Role::Totp, kLater},
                 {"extra", Role::Notes},
                 {"name", Role::Title},
                 {"grouping"},
                 {"fav"}},
     .secureNoteAddress = "http://sn"},
    {.name = "Firefox",
     .columns = {{"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"httpRealm"},
                 {"formActionOrigin"},
                 {"guid"},
                 {"timeCreated"},
                 {"timeLastUsed"},
                 {"timePasswordChanged"}}},
    {.name = "Chrome",
     .exportName = "chrome",
     .columns = {{"name", Role::Title, false, kWritten},
                 {"url", Role::Address, false, kWritten},
                 {"username", Role::User, false, kWritten},
                 {"password", Role::Password, false, kWritten},
                 {"note", Role::Notes, kLater, kWritten}}},
    // Any other spreadsheet: a title or name and notes or note may be there;
    // where both are, the first listed is taken.
    {.name = "CSV",
     .columns = {{"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"title", Role::Title, kLater},
                 {"name", Role::Title, kLater},
                 {"notes", Role::Notes, kLater},
                 {"note", Role::Notes, kLater}}},
};

QString key(const QString& columnName) { return columnName.trimmed().toLower(); }

std::optional<CsvHeader> tryFormat(const CsvFormat& format, const QStringList& header,
                                   const QStringList& keys) {
  CsvHeader found;
  found.format = &format;
  found.columns.fill(-1);
  QSet<qsizetype> used;
  for (const CsvColumn& column : format.columns) {
    const qsizetype index = keys.indexOf(key(QString::fromLatin1(column.name)));
    if (index < 0) {
      if (!column.later) return std::nullopt;
      continue;
    }
    int& slot = found.columns[static_cast<std::size_t>(column.role)];
    if (column.role == Role::None || slot >= 0) continue;
    slot = static_cast<int>(index);
    used.insert(index);
  }
  QSet<QString> named;
  for (qsizetype index = 0; index < header.size(); ++index) {
    if (used.contains(index) || keys[index].isEmpty() || named.contains(keys[index])) continue;
    named.insert(keys[index]);
    found.dropped.append(header[index].trimmed());
  }
  return found;
}

}  // namespace

const std::vector<CsvFormat>& csvFormats() { return kFormats; }

const CsvFormat& defaultExportFormat() { return kFormats.front(); }

const CsvFormat* exportFormatNamed(std::string_view name) {
  for (const CsvFormat& format : kFormats)
    if (format.exportName && name == format.exportName) return &format;
  return nullptr;
}

QString exportFormatNames() {
  QStringList names;
  for (const CsvFormat& format : kFormats)
    if (format.exportName) names.append(QString::fromLatin1(format.exportName));
  return importText::listed(names, QStringLiteral(" or "));
}

QString knownProgramNames() {
  QStringList names;
  for (const CsvFormat& format : kFormats)
    if (&format != &kFormats.back()) names.append(QString::fromLatin1(format.name));
  return importText::listed(names, QStringLiteral(" and "));
}

std::optional<CsvHeader> recogniseHeader(const QStringList& header) {
  QStringList keys;
  for (const QString& name : header) keys.append(key(name));
  for (const CsvFormat& format : kFormats)
    if (auto found = tryFormat(format, header, keys)) return found;
  return std::nullopt;
}

}  // namespace ombrel
