// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ombrel::storage {

// Result of shifting a text. Bytes outside the range are left out of `text`;
// `firstBad` is the index in the input of the first such byte, or npos when
// every byte was shifted. Callers that must refuse a text test `ok()`;
// callers that skip what cannot be shifted use `text` as it is.
struct ShiftResult {
  std::string text;
  std::size_t firstBad = std::string_view::npos;
  bool ok() const { return firstBad == std::string_view::npos; }
};

// Each byte c in 0..155 becomes c + 100.
ShiftResult shiftEncode(std::string_view plain);
// Each byte s in 100..255 becomes s - 100.
ShiftResult shiftDecode(std::string_view stored);
// shiftDecode into a buffer of the caller's, with room for stored.size()
// bytes, for decoders that keep no string per text. Returns how many bytes it
// wrote.
std::size_t shiftDecodeInto(std::string_view stored, char* out);

bool canEncode(unsigned char plainByte);

}  // namespace ombrel::storage
