// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace ombrel::storage {

// Windows-1252, the single code page of every data file, whatever the locale.
// Bytes 0x00-0x7F and 0xA0-0xFF are the Unicode code points of the same value;
// 0x80-0x9F follow the Windows table, and its five undefined bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control code points of the same value, so that
// every byte round-trips.
char32_t cp1252ToUnicode(unsigned char byte);

// The byte of a code point, or nothing when Windows-1252 cannot carry it.
std::optional<unsigned char> unicodeToCp1252(char32_t codePoint);

}  // namespace ombrel::storage
