// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

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

// Writes the characters of shift-decoded Windows-1252 bytes from `out` on, one
// per byte, and returns the end of what it wrote: for decoders that write
// straight into a buffer of their own.
QChar* fromCp1252(std::string_view plain, QChar* out);

}  // namespace ombrel
