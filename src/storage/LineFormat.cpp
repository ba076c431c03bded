// SPDX-License-Identifier: MIT
#include "storage/LineFormat.h"

#include <charconv>

#include "storage/RecordFormat.h"
#include "storage/RecordReader.h"

namespace ombrel::storage {

std::string_view firstLine(std::string_view data) {
  const std::size_t end = data.find_first_of("\r\n");
  return end == std::string_view::npos ? data : data.substr(0, end);
}

std::string formatLine(std::string_view text) {
  std::string line;
  line.reserve(text.size() + kLineEnd.size());
  line += text;
  line += kLineEnd;
  return line;
}

std::string formatNumberLine(std::int32_t value) {
  char digits[16];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  std::string line;
  if (value >= 0) line += kBlank;
  line.append(digits, written.ptr);
  line += kBlank;
  line += kLineEnd;
  return line;
}

std::optional<std::int32_t> readNumberField(std::string_view data) {
  Field field;
  MemorySource source(data);
  RecordReader reader(source, data.size() + 1);  // one fetch takes it all
  if (!reader.readField(field).ok() || !field || field->empty()) return std::nullopt;

  // Nothing but an optional sign and decimal digits: "12abc" or "1.5" is not a
  // number, and neither is one that does not fit 32 bits.
  // from_chars takes a '-' but no '+', so a '+' is dropped here first.
  std::string_view text = *field;
  const bool plus = text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace ombrel::storage
