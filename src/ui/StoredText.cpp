// SPDX-License-Identifier: MIT
#include "ui/StoredText.h"

#include "storage/Cp1252.h"
#include "storage/DataFiles.h"
#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"
#include "storage/ShiftCodec.h"

namespace ombrel {

StoredText toStored(const QString& plain) {
  StoredText out;
  out.stored.reserve(static_cast<std::size_t>(plain.size()));
  for (qsizetype i = 0; i < plain.size(); ++i) {
    char32_t codePoint = plain[i].unicode();
    qsizetype width = 1;
    if (plain[i].isHighSurrogate() && i + 1 < plain.size() && plain[i + 1].isLowSurrogate()) {
      codePoint = QChar::surrogateToUcs4(plain[i], plain[i + 1]);
      width = 2;
    }
    auto byte = storage::unicodeToCp1252(codePoint);
    if (byte && storage::canEncode(*byte)) {
      out.stored.push_back(static_cast<char>(*byte + storage::kShift));
    } else if (out.badCharacter.isEmpty()) {
      out.badCharacter = plain.mid(i, width);
    }
    i += width - 1;
  }
  return out;
}

namespace {

// Writes the plain characters of `stored` from `out` on (at most one per
// byte) and returns the end of what it wrote.
QChar* decodeStored(std::string_view stored, QChar* out) {
  for (unsigned char byte : stored) {
    if (byte < storage::kMinStoredCode) continue;  // cannot be shifted back
    *out++ = QChar(static_cast<char16_t>(storage::cp1252ToUnicode(
        static_cast<unsigned char>(byte - storage::kShift))));
  }
  return out;
}

}  // namespace

QString fromStored(std::string_view stored) {
  QString plain(static_cast<qsizetype>(stored.size()), Qt::Uninitialized);
  plain.truncate(decodeStored(stored, plain.data()) - plain.constData());
  return plain;
}

NameBlock readListedNames(const std::filesystem::path& entryFile, std::size_t* damagedTail) {
  if (damagedTail) *damagedTail = 0;
  NameBlock names;
  storage::InputFile file;
  if (!file.open(entryFile)) return names;
  // The names cannot hold more characters than the file has bytes, so the
  // text never has to move as it fills; the number of names is a guess from
  // the size of a typical entry.
  const auto size = static_cast<qsizetype>(file.sizeWhenOpened());
  names.reserve(size, size / 64);
  storage::RecordReader reader(file);
  // Each name is decoded straight into the block, with no string of its own.
  const storage::Status status = reader.forEachRecord([&names](const storage::RecordView& record) {
    const std::string_view name = record.name.text;
    names.endName(decodeStored(name, names.beginName(static_cast<qsizetype>(name.size()))));
    return storage::Status::success();
  });
  if (damagedTail) *damagedTail = status.damagedTail();
  return names;
}

}  // namespace ombrel
