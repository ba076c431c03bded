// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "storage/LineFormat.h"

namespace ombrel::storage {
namespace {

using Status = NumberField::Status;

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
    const NumberField field = readNumberField(formatNumberLine(value));
    EXPECT_EQ(field.status, Status::Ok) << value;
    EXPECT_EQ(field.value, value);
  }
}

TEST(LineFormat, NumberFieldFollowsTheRecordRulesAndConvertsStrictly) {
  struct Case {
    const char* data;
    Status status;
    std::int32_t value;
  } cases[] = {
      {"42", Status::Ok, 42},
      {"  -7  \n", Status::Ok, -7},
      {"+8,9\r\n", Status::Ok, 8},
      {"\"65280\"\r\n", Status::Ok, 65280},
      {"12\r\n34\r\n", Status::Ok, 12},
      {"", Status::NoField, 0},
      {"   ", Status::NoField, 0},
      {"\r\n", Status::NoField, 0},
      {",5", Status::NoField, 0},
      {"\"\"", Status::NoField, 0},
      {"red\r\n", Status::NotANumber, 0},
      {"12abc", Status::NotANumber, 0},
      {"1.5", Status::NotANumber, 0},
      {"- 5", Status::NotANumber, 0},
      {"+-5", Status::NotANumber, 0},
      {"-", Status::NotANumber, 0},
      {"2147483648", Status::NotANumber, 0},
      {"-2147483649", Status::NotANumber, 0},
      {"99999999999999999999", Status::NotANumber, 0},
  };
  for (const Case& c : cases) {
    const NumberField field = readNumberField(c.data);
    EXPECT_EQ(field.status, c.status) << c.data;
    if (c.status == Status::Ok) {
      EXPECT_EQ(field.value, c.value) << c.data;
    }
  }
}

}  // namespace
}  // namespace ombrel::storage
