// SPDX-License-Identifier: MIT
// The colour number reader of pwclr.dat, against a plain reading of the same
// rule: an optional sign and decimal digits, fitting 32 bits; and the form the
// colour chooser writes must read back as the same number.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "storage/LineFormat.h"
#include "storage/RecordReader.h"

using namespace ombrel::storage;

namespace {

// The number a field's text holds, worked out digit by digit.
std::optional<std::int32_t> expected(const Field& field) {
  if (!field || field->empty()) return std::nullopt;
  std::string_view text = *field;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> got = readNumberField(bytes);

  // Read in blocks of 3 bytes, so that the field also meets the block ends.
  Field field;
  MemorySource source(bytes);
  RecordReader reader(source, 3);
  if (!reader.readField(field).ok()) std::abort();  // bytes in memory never fail
  if (got != expected(field)) std::abort();
  if (got && readNumberField(formatNumberLine(*got)) != got) std::abort();
  return 0;
}
