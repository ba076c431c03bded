// SPDX-License-Identifier: MIT
#include "importexport/CsvText.h"

#include <QStringDecoder>

#include "storage/Cp1252.h"

namespace ombrel {

std::string_view withoutByteOrderMark(std::string_view bytes) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  return bytes.substr(bytes.starts_with(kMark) ? kMark.size() : 0);
}

TextEncoding detectEncoding(std::string_view bytes) {
  // Stateless, so that a sequence cut off at the end of the file counts as
  // an error rather than as the start of more to come.
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString decoded = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return utf8.hasError() ? TextEncoding::Windows1252 : TextEncoding::Utf8;
}

QString decodeText(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8)
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char byte : bytes)
    text +=
        QChar(static_cast<char16_t>(storage::cp1252ToUnicode(static_cast<unsigned char>(byte))));
  return text;
}

}  // namespace ombrel
