// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "storage/LineFormat.h"

namespace ombrel::storage {
namespace {

constexpr std::optional<std::int32_t> kNone = std::nullopt;

TEST(LineFormat, FirstLineStopsAtAnyLineEnd) {
  EXPECT_EQ(firstLine("abc\r\ndef\r\n"), "abc");
  EXPECT_EQ(firstLine("abc\ndef"), "abc");
  EXPECT_EQ(firstLine("abc\rdef"), "abc");
  EXPECT_EQ(firstLine("abc"), "abc");
  EXPECT_EQ(firstLine("\r\nabc"), "");
  EXPECT_EQ(firstLine(""), "");
  EXPECT_EQ(firstLine(" \"a,b\" "), " \"a,b\" ");  // no quote or comma handling
  EXPECT_EQ(formatLine("\xCC\xD8"), "\xCC\xD8\r\n");
}

TEST(LineFormat, NumberLineHasThePrintForm) {
  EXPECT_EQ(formatNumberLine(255), " 255 \r\n");
  EXPECT_EQ(formatNumberLine(0), " 0 \r\n");
  EXPECT_EQ(formatNumberLine(-5), "-5 \r\n");
  EXPECT_EQ(formatNumberLine(std::numeric_limits<std::int32_t>::min()), "-2147483648 \r\n");
}

TEST(LineFormat, NumberReadsBackWhatWasWritten) {
  for (std::int32_t value : {0, 1, -1, 16777215, std::numeric_limits<std::int32_t>::max(),
                             std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(readNumberField(formatNumberLine(value)), value);
  }
}

TEST(LineFormat, NumberFieldIsReadStrictlyByTheRecordRules) {
  struct Case {
    const char* data;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"42", 42},
      {"  -7  \n", -7},
      {"+8,9\r\n", 8},
      {"\"65280\"\r\n", 65280},
      {"12\r\n34\r\n", 12},
      {"", kNone},
      {"   ", kNone},
      {"\r\n", kNone},
      {",5", kNone},
      {"\"\"", kNone},
      {"red\r\n", kNone},
      {"12abc", kNone},
      {"1.5", kNone},
      {"- 5", kNone},
      {"+-5", kNone},
      {"-", kNone},
      {"2147483648", kNone},
      {"-2147483649", kNone},
      {"99999999999999999999", kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(readNumberField(c.data), c.value) << c.data;
}

}  // namespace
}  // namespace ombrel::storage
