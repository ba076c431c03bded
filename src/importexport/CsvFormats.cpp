// SPDX-License-Identifier: MIT
#include "importexport/CsvFormats.h"

#include <QSet>
#include <algorithm>

#include "importexport/ImportReport.h"

namespace ombrel {
namespace {

using Role = ColumnRole;
constexpr bool kLater = true;
constexpr bool kWritten = true;

// The headers as each program writes them. A column that later versions
// added, or that not every export has, is marked kLater.
const std::vector<CsvFormat> kFormats = {
    {.name = "KeePassXC",
     .whereExported = "Database > Export > CSV File",
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
     .whereExported = "Tools > Export vault, as .csv",
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
     .whereExported = "File > Export, as CSV",
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
     .whereExported = "Advanced Options > Export",
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
     .whereExported = "about:logins, menu > Export Logins",
     .columns = {{"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"httpRealm"},
                 {"formActionOrigin"},
                 {"guid"},
                 {"timeCreated"},
                 {"timeLastUsed"},
                 {"timePasswordChanged"}}},
    {.name = "Firefox",
     .whereExported = "earlier versions and password exporter add-ons",
     .columns = {{"hostname", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"formSubmitURL", Role::None, kLater},
                 {"httpRealm", Role::None, kLater},
                 {"usernameField", Role::None, kLater},
                 {"passwordField", Role::None, kLater}}},
    {.name = "Chrome",
     .whereExported = "Settings > Passwords > Export passwords (Chromium and Edge alike)",
     .exportName = "chrome",
     .columns = {{"name", Role::Title, false, kWritten},
                 {"url", Role::Address, false, kWritten},
                 {"username", Role::User, false, kWritten},
                 {"password", Role::Password, false, kWritten},
                 {"note", Role::Notes, kLater, kWritten}}},
    {.name = "KeePass",
     .whereExported = "File > Export > KeePass CSV (1.x)",
     .columns = {{"Account", Role::Title},
                 {"Login Name", Role::User},
                 {"Password", Role::Password},
                 {"Web Site", Role::Address},
                 {"Comments", Role::Notes}}},
    {.name = "RoboForm",
     .whereExported = "Options > Account & Data > Export, as CSV",
     .columns = {{"Name", Role::Title},
                 {"Url", Role::Address},
                 {"Login", Role::User},
                 {"Pwd", Role::Password},
                 {"Note", Role::Notes},
                 {"Folder"},
                 {"Rf_fields"}}},
    {.name = "NordPass",
     .whereExported = "Settings > Export Items",
     .columns = {{"name", Role::Title},
                 {"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"note", Role::Notes},
                 {"cardholdername"},
                 {"cardnumber"},
                 {"cvc"},
                 {"expirydate"},
                 {"zipcode"},
                 {"folder", Role::Folder},
                 {"full_name"},
                 {"phone_number"},
                 {"email"},
                 {"address1"},
                 {"address2"},
                 {"city"},
                 {"country"},
                 {"state"},
                 {"type", Role::Type, kLater}},
     .folderType = "folder"},
    {.name = "Apple Passwords",
     .whereExported = "File > Export All Passwords",
     .columns = {{"Title", Role::Title},
                 {"URL", Role::Address},
                 {"Username", Role::User},
                 {"Password", Role::Password},
                 {"Notes", Role::Notes},
                 {"OTPAuth", Role::Totp}}},
    {.name = "Proton Pass",
     .whereExported = "Settings > Export, as CSV",
     .columns = {{"type"},
                 {"name", Role::Title},
                 {"url", Role::Address},
                 {"email"},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"note", Role::Notes},
                 {"totp", Role::Totp},
                 {"createTime"},
                 {"modifyTime"},
                 {"vault"}}},
    // Any other spreadsheet: a title or name and notes or note may be there;
    // where both are, the first listed is taken.
    {.name = "CSV",
     .whereExported = "any spreadsheet with url, username and password columns",
     .columns = {{"url", Role::Address},
                 {"username", Role::User},
                 {"password", Role::Password},
                 {"title", Role::Title, kLater},
                 {"name", Role::Title, kLater},
                 {"notes", Role::Notes, kLater},
                 {"note", Role::Notes, kLater}}},
};

// The columns of other programs that hold their bookkeeping rather than a
// login's data, lower case.
const QSet<QString> kBookkeeping = {"group",
                                    "folder",
                                    "grouping",
                                    "category",
                                    "favorite",
                                    "favourite",
                                    "fav",
                                    "tags",
                                    "archived",
                                    "created",
                                    "last modified",
                                    "createtime",
                                    "modifytime",
                                    "timecreated",
                                    "timelastused",
                                    "timepasswordchanged",
                                    "guid",
                                    "id",
                                    "uuid",
                                    "type",
                                    "icon",
                                    "reprompt",
                                    "vault",
                                    "httprealm",
                                    "formactionorigin",
                                    "formsubmiturl",
                                    "usernamefield",
                                    "passwordfield",
                                    "rf_fields"};

std::size_t identifying(const CsvFormat& format) {
  return static_cast<std::size_t>(std::count_if(format.columns.begin(), format.columns.end(),
                                                [](const CsvColumn& c) { return !c.later; }));
}

// The formats in the order headers are tried, the one with the most
// identifying columns first; the fallback stays last.
const std::vector<const CsvFormat*>& inTryingOrder() {
  static const std::vector<const CsvFormat*> order = [] {
    std::vector<const CsvFormat*> formats;
    for (const CsvFormat& format : kFormats) formats.push_back(&format);
    std::stable_sort(
        formats.begin(), formats.end() - 1,
        [](const CsvFormat* a, const CsvFormat* b) { return identifying(*a) > identifying(*b); });
    return formats;
  }();
  return order;
}

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
    // A folder only tells folders apart: it is left out all the same.
    if (column.role != Role::Folder) used.insert(index);
  }
  QSet<QString> named;
  for (qsizetype index = 0; index < header.size(); ++index) {
    if (used.contains(index) || keys[index].isEmpty()) continue;
    if (!kBookkeeping.contains(keys[index])) {
      found.extras.emplace_back(static_cast<int>(index), header[index].trimmed());
    } else if (!named.contains(keys[index])) {
      named.insert(keys[index]);
      found.dropped.append(header[index].trimmed());
    }
  }
  return found;
}

}  // namespace

const std::vector<CsvFormat>& csvFormats() { return kFormats; }

const CsvFormat& defaultExportFormat() { return *exportFormatNamed("keepassxc"); }

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

bool isBookkeeping(const QString& columnName) { return kBookkeeping.contains(key(columnName)); }

QString knownProgramNames() {
  QStringList names;
  for (const CsvFormat& format : kFormats)
    if (&format != &kFormats.back() && !names.contains(QString::fromUtf8(format.name)))
      names.append(QString::fromUtf8(format.name));
  return importText::listed(names, QStringLiteral(" and "));
}

std::optional<CsvHeader> recogniseHeader(const QStringList& header) {
  QStringList keys;
  for (const QString& name : header) keys.append(key(name));
  for (const CsvFormat* format : inTryingOrder())
    if (auto found = tryFormat(*format, header, keys)) return found;
  return std::nullopt;
}

}  // namespace ombrel
