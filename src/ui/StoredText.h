// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "ui/NameBlock.h"

namespace ombrel {

// The one crossing between the window's texts and the data files: a text
// becomes Windows-1252 bytes (whatever the locale), shift-encoded, and back.
// A window text in the form it takes in the data files: Windows-1252 bytes,
// shift-encoded. `badCharacter` names the first character that cannot be
// stored that way (no Windows-1252 byte, or a byte above 155); `stored` then
// holds the text without the characters that could not be stored.
struct StoredText {
  std::string stored;
  QString badCharacter;
  bool ok() const { return badCharacter.isEmpty(); }
};

StoredText toStored(const QString& plain);

// The plain text of a stored field; bytes that cannot be shifted back are left
// out.
QString fromStored(std::string_view stored);

// The plain names of every whole record of an entry file, in file order, for
// the list. A missing or unreadable file gives none; a record cut off at the
// end of the file (or by a read error) is left out and the names before it
// are kept. `damagedTail`, when given, gets the number of bytes after the
// last whole record when the file ends inside one, and 0 otherwise. The file
// is read a block at a time and each name decoded as soon as its record is
// read, so the file is never held whole beside the names.
NameBlock readListedNames(const std::filesystem::path& entryFile,
                          std::size_t* damagedTail = nullptr);

}  // namespace ombrel
