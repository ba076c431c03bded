// SPDX-License-Identifier: MIT
// The Windows-1252 mapping both ways: every byte comes back as itself, and a
// code point that maps to a byte is the one that byte maps to.
#include <cstdint>
#include <cstdlib>

#include "storage/Cp1252.h"

using namespace ombrel::storage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const auto back = unicodeToCp1252(cp1252ToUnicode(data[i]));
    if (!back || *back != data[i]) std::abort();
  }
  // Three bytes at a time as a code point, anywhere in Unicode's range.
  for (std::size_t i = 0; i + 3 <= size; i += 3) {
    const char32_t codePoint =
        static_cast<char32_t>((data[i] << 16 | data[i + 1] << 8 | data[i + 2]) % 0x110000);
    const auto byte = unicodeToCp1252(codePoint);
    if (byte && cp1252ToUnicode(*byte) != codePoint) std::abort();
    // Latin-1 outside the 0x80-0x9F block always has its byte.
    if (!byte && (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))) std::abort();
  }
  return 0;
}
