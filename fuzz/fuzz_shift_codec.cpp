// SPDX-License-Identifier: MIT
// The shift encoding: decode(encode(x)) == x for every text it can encode,
// and a text with bytes it cannot carry is flagged at the first of them.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/ShiftCodec.h"

using namespace ombrel::storage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::string encodable;
  std::size_t firstBad = std::string_view::npos;
  for (std::size_t i = 0; i < size; ++i) {
    if (canEncode(data[i])) {
      encodable += bytes[i];
    } else if (firstBad == std::string_view::npos) {
      firstBad = i;
    }
  }

  const ShiftResult encoded = shiftEncode(bytes);
  if (encoded.firstBad != firstBad) std::abort();
  // What cannot be encoded is left out; the rest is shifted up by 100.
  std::string shifted;
  for (unsigned char c : encodable) shifted += static_cast<char>(c + 100);
  if (encoded.text != shifted) std::abort();

  const ShiftResult decoded = shiftDecode(encoded.text);
  if (!decoded.ok() || decoded.text != encodable) std::abort();
  // Decoding into a buffer, as the list does, keeps the same bytes.
  std::string buffer(size, '\0');
  if (buffer.substr(0, shiftDecodeInto(bytes, buffer.data())) != shiftDecode(bytes).text)
    std::abort();
  for (unsigned char stored : encoded.text)
    if (stored < 100) std::abort();  // never a quote, comma, blank or line end
  return 0;
}
