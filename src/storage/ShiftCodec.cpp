#include "storage/ShiftCodec.h"

#include "storage/RecordFormat.h"

namespace ombrel::storage {
namespace {

// Shifts every byte in [low, low + 155] by `delta`; the others are left out
// and the first of them is noted.
ShiftResult shift(std::string_view input, int low, int delta) {
  ShiftResult result;
  result.text.reserve(input.size());
  for (std::size_t i = 0; i < input.size(); ++i) {
    const int code = static_cast<unsigned char>(input[i]);
    if (code < low || code > low + kMaxPlainCode) {
      if (result.ok()) result.firstBad = i;
      continue;
    }
    result.text += static_cast<char>(code + delta);
  }
  return result;
}

}  // namespace

ShiftResult shiftEncode(std::string_view plain) { return shift(plain, 0, kShift); }

ShiftResult shiftDecode(std::string_view stored) { return shift(stored, kMinStoredCode, -kShift); }

bool canEncode(unsigned char plainByte) { return plainByte <= kMaxPlainCode; }

}  // namespace ombrel::storage
