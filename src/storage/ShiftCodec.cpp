// SPDX-License-Identifier: MIT
#include "storage/ShiftCodec.h"

#include <algorithm>

#include "storage/RecordFormat.h"

namespace ombrel::storage {
namespace {

// Shifts every byte in [low, low + 155] by `delta` into `out` (room for as
// many bytes as `input` has); the others are left out and the first of them
// is noted in `firstBad`. Returns the number of bytes written.
std::size_t shift(std::string_view input, char* out, int low, int delta, std::size_t& firstBad) {
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const std::size_t size = input.size();
  firstBad = std::string_view::npos;

  // Stored texts are nearly always wholly in range. Testing that first, then
  // shifting without a test per byte, gives two loops the compiler turns into
  // vector code; this runs for every field of every record read.
  // In byte arithmetic, (c - low) wraps so that exactly the bytes in range
  // come out at most 155.
  const auto offset = static_cast<unsigned char>(low);
  unsigned char highest = 0;
  for (std::size_t i = 0; i < size; ++i)
    highest = std::max(highest, static_cast<unsigned char>(in[i] - offset));
  if (highest <= kMaxPlainCode) {
    const auto step = static_cast<unsigned char>(delta);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>(in[i] + step);
    return size;
  }

  std::size_t kept = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned>(in[i] - low) > static_cast<unsigned>(kMaxPlainCode)) {
      if (firstBad == std::string_view::npos) firstBad = i;
      continue;
    }
    out[kept++] = static_cast<char>(in[i] + delta);
  }
  return kept;
}

ShiftResult shift(std::string_view input, int low, int delta) {
  ShiftResult result;
  result.text.resize(input.size());
  result.text.resize(shift(input, result.text.data(), low, delta, result.firstBad));
  return result;
}

}  // namespace

ShiftResult shiftEncode(std::string_view plain) { return shift(plain, 0, kShift); }

ShiftResult shiftDecode(std::string_view stored) { return shift(stored, kMinStoredCode, -kShift); }

std::size_t shiftDecodeInto(std::string_view stored, char* out) {
  std::size_t firstBad;
  return shift(stored, out, kMinStoredCode, -kShift, firstBad);
}

bool canEncode(unsigned char plainByte) { return plainByte <= kMaxPlainCode; }

}  // namespace ombrel::storage
