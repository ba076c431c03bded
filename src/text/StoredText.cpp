// SPDX-License-Identifier: MIT
#include "text/StoredText.h"

#include "storage/Cp1252.h"
#include "storage/ShiftCodec.h"

namespace ombrel {

StoredText toStored(const QString& plain) {
  StoredText out;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(plain.size()));
  for (qsizetype i = 0; i < plain.size(); ++i) {
    char32_t codePoint = plain[i].unicode();
    qsizetype width = 1;
    if (plain[i].isHighSurrogate() && i + 1 < plain.size() && plain[i + 1].isLowSurrogate()) {
      codePoint = QChar::surrogateToUcs4(plain[i], plain[i + 1]);
      width = 2;
    }
    auto byte = storage::unicodeToCp1252(codePoint);
    if (byte && storage::canEncode(*byte)) {
      bytes.push_back(static_cast<char>(*byte));
    } else if (out.badCharacter.isEmpty()) {
      out.badCharacter = plain.mid(i, width);
    }
    i += width - 1;
  }
  // Every byte left is encodable, so the codec leaves none out.
  out.stored = storage::shiftEncode(bytes).text;
  return out;
}

QChar* fromCp1252(std::string_view plain, QChar* out) {
  for (unsigned char byte : plain)
    *out++ = QChar(static_cast<char16_t>(storage::cp1252ToUnicode(byte)));
  return out;
}

QString fromStored(std::string_view stored) {
  const std::string plain = storage::shiftDecode(stored).text;
  QString text(static_cast<qsizetype>(plain.size()), Qt::Uninitialized);
  fromCp1252(plain, text.data());
  return text;
}

}  // namespace ombrel
