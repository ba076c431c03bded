// SPDX-License-Identifier: MIT
#include "importexport/ImportReport.h"

#include "importexport/CsvFormats.h"

namespace ombrel::importText {
namespace {

// The lines of renamed and skipped logins are made by concatenation rather
// than arg(): an import may rename or skip tens of thousands of them.
QString quoted(const QString& text) { return u'"' + text + u'"'; }

QString login(const QString& name, std::size_t line) {
  return quoted(name) + QStringLiteral(" (line ") + QString::number(line) + u')';
}

QString holds(Field field) {
  switch (field) {
    case Field::Name:
      return QStringLiteral("its name holds");
    case Field::User:
      return QStringLiteral("its user name holds");
    case Field::Password:
      return QStringLiteral("its password holds");
    case Field::Notes:
      break;
  }
  return QStringLiteral("its notes hold");
}

// U+20AC: the code point as New's message gives it.
QString codePoint(const QString& character) {
  return "U+" + QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, '0');
}

}  // namespace

QString droppedColumns(const QStringList& columns) {
  return QStringLiteral("Columns left out, as Ombrel has no place for them: %1.")
      .arg(columns.join(QStringLiteral(", ")));
}

QString renamed(const QString& name, std::size_t line, const QString& newName) {
  return QStringLiteral("Renamed ") + login(name, line) + QStringLiteral(" to ") + quoted(newName) +
         QStringLiteral(": the name is taken by another login.");
}

QString skippedUnnamed(std::size_t line) {
  return QStringLiteral("Skipped the login on line %1: it has neither an address nor a title.")
      .arg(line);
}

QString skippedUnstorable(const QString& name, std::size_t line, Field field,
                          const QString& character) {
  return QStringLiteral(
             "Skipped %1: %2 the character \"%3\" (%4), which Ombrel's files cannot "
             "store.")
      .arg(login(name, line), holds(field), character, codePoint(character));
}

QString skippedTooLarge(const QString& name, std::size_t line) {
  // The name may be the very field that is too large.
  constexpr qsizetype kShownName = 100;
  const QString shown = name.size() > kShownName ? name.left(kShownName) + u'\u2026' : name;
  return QStringLiteral("Skipped ") + login(shown, line) +
         QStringLiteral(": it is too large to store; one login may take at most 64 MiB.");
}

QString skippedClash(const QString& name, std::size_t line) {
  return QStringLiteral("Skipped ") + login(name, line) +
         QStringLiteral(
             ": it clashes with the login already stored under that name, and has no "
             "user name to tell it apart.");
}

QString skippedClashRenamed(const QString& name, std::size_t line, const QString& newName) {
  return QStringLiteral("Skipped ") + login(name, line) +
         QStringLiteral(
             ": it clashes with the login already stored under that name, and with "
             "the one stored under ") +
         quoted(newName) + u'.';
}

QString passedOverFolders(std::size_t rows) {
  return rows == 1 ? QStringLiteral("Passed over 1 folder row, which holds no login.")
                   : QStringLiteral("Passed over %1 folder rows, which hold no login.").arg(rows);
}

QString summary(std::size_t imported, const QString& file, const QString& format,
                std::size_t renamed, std::size_t alreadyThere, std::size_t skipped) {
  return QStringLiteral("Imported %1 %2 from %3 (%4): %5 renamed, %6 already there, %7 skipped.")
      .arg(imported)
      .arg(imported == 1 ? QStringLiteral("login") : QStringLiteral("logins"), file, format)
      .arg(renamed)
      .arg(alreadyThere)
      .arg(skipped);
}

QString listed(QStringList words, const QString& lastSeparator) {
  const QString last = words.takeLast();
  return words.isEmpty() ? last : words.join(QStringLiteral(", ")) + lastSeparator + last;
}

QString unknownHeader(const QString& file, const QStringList& header) {
  if (header.isEmpty())
    return QStringLiteral(
               "%1: the file is empty; a CSV file of logins starts with a header "
               "line that names its columns.\n\n%2")
        .arg(file, nothingImported());
  // A file without a header cannot be told from one with a header we do not
  // know, so the first line's fields are never repeated: they may be a login.
  QStringList keys;
  for (const QString& column : header) keys.append(column.trimmed().toLower());
  QStringList lacking;
  for (const char* wanted : {"url", "username", "password"})
    if (!keys.contains(QLatin1String(wanted))) lacking.append(QLatin1String(wanted));
  return QStringLiteral(
             "%1: the first line has %2 %3 and lacks the %4 %5, so it is no header of the "
             "formats Ombrel knows: the CSV files of %6, and any file with the columns url, "
             "username and password (and perhaps title or name, and notes or note).\n\n%7")
      .arg(file)
      .arg(header.size())
      .arg(header.size() == 1 ? QStringLiteral("column") : QStringLiteral("columns"),
           lacking.size() == 1 ? QStringLiteral("column") : QStringLiteral("columns"),
           listed(lacking, QStringLiteral(" and ")), knownProgramNames(), nothingImported());
}

QString unreadableCsv(const QString& file, const CsvProblem& problem) {
  QString what;
  switch (problem.kind) {
    case CsvProblem::Kind::UnterminatedQuote:
      what = QStringLiteral("the quoted field that opens on line %1 is never closed")
                 .arg(problem.line);
      break;
    case CsvProblem::Kind::MisplacedQuote:
      what = QStringLiteral(
                 "line %1 is not valid CSV: a quote stands inside a field that is not "
                 "quoted, or after the quote that closes one")
                 .arg(problem.line);
      break;
    case CsvProblem::Kind::OutOfMemory:
    case CsvProblem::Kind::None:
      what = QStringLiteral("there is not enough memory to read it");
      break;
  }
  return QStringLiteral("%1: %2.\n\n%3").arg(file, what, nothingImported());
}

QString nothingImported() { return QStringLiteral("Nothing was imported."); }

}  // namespace ombrel::importText
