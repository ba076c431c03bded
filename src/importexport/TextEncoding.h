// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ombrel {

// How the text of a CSV file is encoded. Browsers and password managers write
// UTF-8; a file saved by an older spreadsheet on Windows is Windows-1252.
enum class TextEncoding { Utf8, Windows1252 };

// The bytes after a UTF-8 byte-order mark, or all of them when there is none.
std::string_view withoutByteOrderMark(std::string_view bytes);

// UTF-8 when every byte sequence is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF); Windows-1252 otherwise, which any byte
// string is.
TextEncoding detectEncoding(std::string_view bytes);

QString decodeText(std::string_view bytes, TextEncoding encoding);

// Appends the UTF-8 form of a stored (shift-encoded Windows-1252) text, as
// fromStored() reads it, without making a QString of it: the export does this
// for every field of every entry.
void appendUtf8OfStored(std::string& out, std::string_view stored);

// fromStored(), without the copy of the bytes on the way for a text that is
// all ASCII.
QString plainOfStored(std::string_view stored);

}  // namespace ombrel
