#include "ui/UserMessages.h"

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
