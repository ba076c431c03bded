// SPDX-License-Identifier: MIT
#include "importexport/LoginMapping.h"

#include <QStringList>
#include <QUrl>

#include "web/WebCommands.h"

namespace ombrel {
namespace {

QString columnText(const CsvHeader& header, const CsvRow& row, ColumnRole role) {
  return row.text(header.column(role));
}

bool isSecureNote(const CsvHeader& header, const CsvRow& row, const QString& address) {
  const CsvFormat& format = *header.format;
  if (format.secureNoteType &&
      columnText(header, row, ColumnRole::Type)
              .trimmed()
              .compare(QLatin1String(format.secureNoteType), Qt::CaseInsensitive) == 0)
    return true;
  return format.secureNoteAddress && address == QLatin1String(format.secureNoteAddress);
}

// Where a format writes several addresses into one column, separated by
// commas, the first names the login and the others are returned in `more`.
QString addressOf(const CsvHeader& header, const CsvRow& row, QStringList& more) {
  const QString column = columnText(header, row, ColumnRole::Address);
  if (!header.format->addressList) return column.trimmed();
  for (const QString& part : column.split(u','))
    if (!part.trimmed().isEmpty()) more.append(part.trimmed());
  return more.isEmpty() ? QString() : more.takeFirst();
}

// Every line break, CR LF, LF or CR, as CR LF: how the notes box holds them.
QString withCrLf(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text.replace(u'\n', QStringLiteral("\r\n"));
}

// A text as it is compared with another: without regard to case, blanks
// around it or a leading "www.".
QString comparable(const QString& text) {
  QString key = text.trimmed().toLower();
  return key.startsWith(QLatin1String("www.")) ? key.mid(4) : key;
}

QString hostOf(const QString& address) {
  return QUrl(address.contains(QLatin1String("://")) ? address : "http://" + address).host();
}

// "Title: TITLE" when the title says more than the name and the address do,
// so that a login named by its address keeps the title people know it by.
QString titleLine(const QString& title, const QString& name, const QString& address) {
  const QString key = comparable(title);
  if (address.isEmpty() || key.isEmpty() || key == comparable(name) ||
      key == comparable(hostOf(address)))
    return QString();
  return "Title: " + title.trimmed();
}

// The title line, the notes, then a line for each custom field, each further
// address, the TOTP secret and each value of a column Ombrel has no field
// for, in that order.
QString notesOf(const CsvHeader& header, const CsvRow& row, const QString& title,
                const QStringList& moreAddresses) {
  QStringList lines;
  if (!title.isEmpty()) lines.append(title);
  if (QString notes = columnText(header, row, ColumnRole::Notes); !notes.isEmpty())
    lines.append(withCrLf(std::move(notes)));
  for (const QString& field : withCrLf(columnText(header, row, ColumnRole::Fields))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
    lines.append(field);
  for (const QString& address : moreAddresses) lines.append("URL: " + address);
  if (const QString totp = columnText(header, row, ColumnRole::Totp).trimmed(); !totp.isEmpty())
    lines.append("TOTP: " + totp);
  for (const auto& [index, name] : header.extras)
    if (const QString value = row.text(index); !value.trimmed().isEmpty())
      lines.append(withCrLf(name + ": " + value));
  return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

std::string_view CsvRow::bytes(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {};
  return fields[static_cast<std::size_t>(index)];
}

std::optional<Login> loginOf(const CsvHeader& header, const CsvRow& row) {
  QStringList addresses;  // further addresses, where a format has several
  QString address = addressOf(header, row, addresses);
  if (isSecureNote(header, row, address)) address.clear();

  // The title is used exactly as written, but one of blanks only names nothing.
  const QString title = columnText(header, row, ColumnRole::Title);
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
  login.user = columnText(header, row, ColumnRole::User);
  login.password = columnText(header, row, ColumnRole::Password);
  login.notes = notesOf(header, row, titleLine(title, login.name, address), addresses);
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
