#include "ui/AnsiText.h"

#include "storage/Cp1252.h"

namespace ombrel {

AnsiBytes toAnsi(const QString& text) {
  AnsiBytes out;
  out.bytes.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t codePoint = text[i].unicode();
    qsizetype width = 1;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
      width = 2;
    }
    if (auto byte = storage::unicodeToCp1252(codePoint)) {
      out.bytes.push_back(static_cast<char>(*byte));
    } else if (out.firstBad < 0) {
      out.firstBad = i;
    }
    i += width - 1;
  }
  return out;
}

QString fromAnsi(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char byte : bytes) out.append(QChar(static_cast<char16_t>(storage::cp1252ToUnicode(byte))));
  return out;
}

QString characterAt(const QString& text, qsizetype index) {
  if (index < 0 || index >= text.size()) return QString();
  if (text[index].isHighSurrogate() && index + 1 < text.size()) return text.mid(index, 2);
  return text.mid(index, 1);
}

}  // namespace ombrel
