// SPDX-License-Identifier: MIT
// The colour number reader of pwclr.dat, against a plain reading of the same
// rule: an optional sign and decimal digits, fitting 32 bits; and the form the
// colour chooser writes must read back as the same number.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/LineFormat.h"
#include "storage/RecordReader.h"

using namespace ombrel::storage;

namespace {

// The number a field's text holds, worked out digit by digit.
NumberField expected(const Field& field) {
  NumberField result;
  if (!field || field->empty()) return result;
  result.status = NumberField::Status::NotANumber;
  std::string_view text = *field;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return result;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return result;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return result;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return result;
  result.status = NumberField::Status::Ok;
  result.value = static_cast<std::int32_t>(value);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const NumberField got = readNumberField(bytes);

  Field field;
  RecordReader reader(bytes);
  if (!reader.readField(field)) field.reset();
  const NumberField want = expected(field);
  if (got.status != want.status) std::abort();
  if (got.status == NumberField::Status::Ok && got.value != want.value) std::abort();

  if (got.status == NumberField::Status::Ok) {
    const NumberField back = readNumberField(formatNumberLine(got.value));
    if (back.status != NumberField::Status::Ok || back.value != got.value) std::abort();
  }
  return 0;
}
