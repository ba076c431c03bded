// SPDX-License-Identifier: MIT
#include "text/UserMessages.h"

#include <QFile>
#include <QList>

namespace ombrel {

QString displayPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QString fileProblem(const QString& what, const std::filesystem::path& path,
                    const storage::Status& status) {
  return QStringLiteral("%1:\n%2\n\n%3.")
      .arg(what, displayPath(path), QString::fromStdString(status.reason()));
}

QString damagedEntryFile(const std::filesystem::path& path, std::size_t tailBytes,
                         const QString& consequence) {
  QString where = QStringLiteral("The entry file ends inside an entry");
  if (tailBytes > 0)
    where += tailBytes == 1 ? QStringLiteral(": 1 byte follows the last whole entry")
                            : QStringLiteral(": %1 bytes follow the last whole entry")
                                  .arg(static_cast<qulonglong>(tailBytes));
  return QStringLiteral(
             "%1.\n%2\n\nOmbrel will not change this file until it is repaired, so as not to "
             "lose what it holds.\n\n%3")
      .arg(where, displayPath(path), consequence);
}

QString unstorableCharacter(const QString& character, const QString& consequence) {
  return QStringLiteral(
             "The character \"%1\" (U+%2) cannot be stored. Ombrel's files keep only the "
             "characters of the Windows-1252 character set up to code 155: letters without "
             "accents, digits, punctuation and a few signs such as the euro sign.\n\n%3")
      .arg(character,
           QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, '0'),
           consequence);
}

}  // namespace ombrel
