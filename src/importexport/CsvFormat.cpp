// SPDX-License-Identifier: MIT
#include "importexport/CsvFormat.h"

#include <QSet>
#include <vector>

namespace ombrel {
namespace {

// A column of a format's header. A column that a format added in a later
// version is taken when it is there, but does not identify the format, so
// that files of older versions are recognised too.
struct KnownColumn {
  const char* name;
  std::optional<ColumnRole> role;  // nothing: a column Ombrel has no place for
  bool later = false;
};

struct KnownFormat {
  CsvSource source;
  std::vector<KnownColumn> columns;
};

using Role = ColumnRole;
constexpr std::optional<ColumnRole> kNoPlace = std::nullopt;
constexpr bool kLater = true;

// The headers as each program writes them, in the order they are tried: a
// header that fits two formats (LastPass's holds all of Chrome's identifying
// columns) goes to the first.
const std::vector<KnownFormat> kFormats = {
    {CsvSource::KeePassXC,
     {{"Group", kNoPlace},
      {"Title", Role::Title},
      {"Username", Role::User},
      {"Password", Role::Password},
      {"URL", Role::Address},
      {"Notes", Role::Notes},
      {"TOTP", Role::Totp, kLater},
      {"Icon", kNoPlace, kLater},
      {"Last Modified", kNoPlace, kLater},
      {"Created", kNoPlace, kLater}}},
    {CsvSource::Bitwarden,
     {{"folder", kNoPlace},
      {"favorite", kNoPlace},
      {"type", Role::Type},
      {"name", Role::Title},
      {"notes", Role::Notes},
      {"fields", Role::Fields},
      {"reprompt", kNoPlace, kLater},
      {"login_uri", Role::Address},
      {"login_username", Role::User},
      {"login_password", Role::Password},
      {"login_totp", Role::Totp}}},
    {CsvSource::OnePassword,
     {{"Title", Role::Title},
      {"Url", Role::Address},
      {"Username", Role::User},
      {"Password", Role::Password},
      {"OTPAuth", Role::Totp},
      {"Favorite", kNoPlace},
      {"Archived", kNoPlace},
      {"Tags", kNoPlace},
      {"Notes", Role::Notes}}},
    {CsvSource::LastPass,
     {{"url", Role::Address},
      {"username", Role::User},
      {"password", Role::Password},
      {"totp", Role::Totp, kLater},
      {"extra", Role::Notes},
      {"name", Role::Title},
      {"grouping", kNoPlace},
      {"fav", kNoPlace}}},
    {CsvSource::Firefox,
     {{"url", Role::Address},
      {"username", Role::User},
      {"password", Role::Password},
      {"httpRealm", kNoPlace},
      {"formActionOrigin", kNoPlace},
      {"guid", kNoPlace},
      {"timeCreated", kNoPlace},
      {"timeLastUsed", kNoPlace},
      {"timePasswordChanged", kNoPlace}}},
    {CsvSource::Chrome,
     {{"name", Role::Title},
      {"url", Role::Address},
      {"username", Role::User},
      {"password", Role::Password},
      {"note", Role::Notes, kLater}}},
    // Any other spreadsheet: a title or name and notes or note may be there;
    // where both are, the first listed is taken.
    {CsvSource::Other,
     {{"url", Role::Address},
      {"username", Role::User},
      {"password", Role::Password},
      {"title", Role::Title, kLater},
      {"name", Role::Title, kLater},
      {"notes", Role::Notes, kLater},
      {"note", Role::Notes, kLater}}},
};

QString key(const QString& columnName) { return columnName.trimmed().toLower(); }

// The index of the first column of that name, or -1.
int indexOf(const QStringList& keys, const char* name) {
  return static_cast<int>(keys.indexOf(key(QString::fromLatin1(name))));
}

std::optional<CsvFormat> tryFormat(const KnownFormat& known, const QStringList& header,
                                   const QStringList& keys) {
  CsvFormat format;
  format.source = known.source;
  format.columns.fill(-1);
  QSet<int> used;
  for (const KnownColumn& column : known.columns) {
    const int index = indexOf(keys, column.name);
    if (index < 0) {
      if (!column.later) return std::nullopt;
      continue;
    }
    if (!column.role) continue;
    int& slot = format.columns[static_cast<std::size_t>(*column.role)];
    if (slot >= 0) continue;
    slot = index;
    used.insert(index);
  }
  QSet<QString> listed;
  for (int index = 0; index < header.size(); ++index) {
    if (used.contains(index) || keys[index].isEmpty() || listed.contains(keys[index])) continue;
    listed.insert(keys[index]);
    format.dropped.append(header[index].trimmed());
  }
  return format;
}

}  // namespace

QString sourceName(CsvSource source) {
  switch (source) {
    case CsvSource::KeePassXC:
      return QStringLiteral("KeePassXC");
    case CsvSource::Bitwarden:
      return QStringLiteral("Bitwarden");
    case CsvSource::OnePassword:
      return QStringLiteral("1Password");
    case CsvSource::LastPass:
      return QStringLiteral("LastPass");
    case CsvSource::Firefox:
      return QStringLiteral("Firefox");
    case CsvSource::Chrome:
      return QStringLiteral("Chrome");
    case CsvSource::Other:
      break;
  }
  return QStringLiteral("CSV");
}

std::optional<CsvFormat> recogniseHeader(const QStringList& header) {
  QStringList keys;
  keys.reserve(header.size());
  for (const QString& name : header) keys.append(key(name));
  for (const KnownFormat& known : kFormats)
    if (auto format = tryFormat(known, header, keys)) return format;
  return std::nullopt;
}

}  // namespace ombrel
