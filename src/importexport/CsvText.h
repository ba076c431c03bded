// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string_view>

namespace ombrel {

// How the text of a CSV file is encoded. Browsers and password managers write
// UTF-8; a file saved by an older spreadsheet on Windows is Windows-1252.
enum class TextEncoding { Utf8, Windows1252 };

// The bytes after a UTF-8 byte-order mark, or all of them when there is none.
std::string_view withoutByteOrderMark(std::string_view bytes);

// UTF-8 when the bytes are well-formed UTF-8 to the last, Windows-1252
// otherwise, which any byte string is.
TextEncoding detectEncoding(std::string_view bytes);

QString decodeText(std::string_view bytes, TextEncoding encoding);

}  // namespace ombrel
