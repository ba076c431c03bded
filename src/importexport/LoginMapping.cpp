// SPDX-License-Identifier: MIT
#include "importexport/LoginMapping.h"

#include <QStringList>

#include "web/WebCommands.h"

namespace ombrel {
namespace {

// LastPass writes its secure notes as logins at this address.
const QString kLastPassSecureNote = QStringLiteral("http://sn");

QString columnText(const CsvFormat& format, const CsvRow& row, ColumnRole role) {
  return row.text(format.column(role));
}

bool isSecureNote(const CsvFormat& format, const CsvRow& row, const QString& address) {
  if (format.source == CsvSource::Bitwarden)
    return columnText(format, row, ColumnRole::Type)
               .trimmed()
               .compare("note", Qt::CaseInsensitive) == 0;
  return format.source == CsvSource::LastPass && address == kLastPassSecureNote;
}

// Only Bitwarden writes several addresses into one column, separated by
// commas: the first names the login, the others are returned in `more`.
QString addressOf(const CsvFormat& format, const CsvRow& row, QStringList& more) {
  const QString column = columnText(format, row, ColumnRole::Address);
  if (format.source != CsvSource::Bitwarden) return column.trimmed();
  for (const QString& part : column.split(','))
    if (!part.trimmed().isEmpty()) more.append(part.trimmed());
  return more.isEmpty() ? QString() : more.takeFirst();
}

// Every line break, CR LF, LF or CR, as CR LF: how the notes box holds them.
QString withCrLf(const QString& text) {
  const qsizetype breaks = text.count(u'\n') + text.count(u'\r');
  if (breaks == 0) return text;
  QString out(text.size() + breaks, Qt::Uninitialized);  // the most it can take
  QChar* to = out.data();
  for (const QChar* from = text.cbegin(); from != text.cend(); ++from) {
    if (*from != u'\r' && *from != u'\n') {
      *to++ = *from;
      continue;
    }
    *to++ = u'\r';
    *to++ = u'\n';
    if (*from == u'\r' && from + 1 != text.cend() && from[1] == u'\n') ++from;
  }
  out.truncate(to - out.constData());
  return out;
}

// The notes, then a line for each custom field, each further address and the
// TOTP secret, in that order.
QString notesOf(const CsvFormat& format, const CsvRow& row, const QStringList& moreAddresses) {
  const QString notes = columnText(format, row, ColumnRole::Notes);
  const QString fields = withCrLf(columnText(format, row, ColumnRole::Fields));
  const QString totp = columnText(format, row, ColumnRole::Totp).trimmed();
  if (fields.isEmpty() && moreAddresses.isEmpty() && totp.isEmpty()) return withCrLf(notes);

  QStringList lines;
  if (!notes.isEmpty()) lines.append(notes);
  for (const QString& field : fields.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
    lines.append(field);
  for (const QString& address : moreAddresses) lines.append("URL: " + address);
  if (!totp.isEmpty()) lines.append("TOTP: " + totp);
  return withCrLf(lines.join('\n'));
}

}  // namespace

CsvText CsvRow::column(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {{}, encoding};
  return {fields[static_cast<std::size_t>(index)], encoding};
}

std::optional<Login> loginOf(const CsvFormat& format, const CsvRow& row) {
  QStringList addresses;  // a Bitwarden login's further addresses
  QString address = addressOf(format, row, addresses);
  if (isSecureNote(format, row, address)) address.clear();

  // The title is used exactly as written, but one of blanks only names nothing.
  const QString title = columnText(format, row, ColumnRole::Title);
  const bool titled = !title.trimmed().isEmpty();
  Login login;
  if (address.isEmpty()) {
    if (!titled) return std::nullopt;
    login.name = title;
  } else {
    // An export writes the name as the title and Open Site's URL of it as the
    // address; taking the title back gives the name exactly as it was.
    login.name = titled && siteUrl(title) == address ? title : address;
  }
  login.user = row.column(format.column(ColumnRole::User));
  login.password = row.column(format.column(ColumnRole::Password));
  login.notes = notesOf(format, row, addresses);
  return login;
}

QString renamedFor(const QString& name, const QString& user) {
  // toPercentEncoding() leaves exactly the unreserved characters of RFC 3986
  // as they are and writes the hex digits in upper case.
  const QString userPart = QString::fromLatin1(user.toUtf8().toPercentEncoding()) + '@';
  for (const QString& scheme : {QStringLiteral("http://"), QStringLiteral("https://")})
    if (name.startsWith(scheme, Qt::CaseInsensitive))
      return name.left(scheme.size()) + userPart + name.mid(scheme.size());
  return userPart + name;
}

}  // namespace ombrel
