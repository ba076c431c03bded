// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "storage/Cp1252.h"
#include "storage/ShiftCodec.h"

namespace ombrel::storage {
namespace {

std::string bytes(std::initializer_list<int> codes) {
  std::string out;
  for (int code : codes) out += static_cast<char>(code);
  return out;
}

TEST(ShiftCodec, ShiftsExactlyTheStorableRange) {
  EXPECT_EQ(shiftEncode(bytes({0, 65, 155})).text, bytes({100, 165, 255}));
  EXPECT_EQ(shiftDecode(bytes({100, 165, 255})).text, bytes({0, 65, 155}));
  EXPECT_TRUE(shiftEncode("").ok());
  EXPECT_EQ(shiftEncode("").text, "");
  EXPECT_TRUE(canEncode(155));
  EXPECT_FALSE(canEncode(156));

  for (int code = 0; code < 256; ++code) {
    const std::string one = bytes({code});
    EXPECT_EQ(shiftEncode(one).ok(), code <= 155) << code;
    EXPECT_EQ(shiftDecode(one).ok(), code >= 100) << code;
    if (code <= 155) {
      EXPECT_EQ(shiftDecode(shiftEncode(one).text).text, one) << code;
    }
  }
}

TEST(ShiftCodec, DropsWhatItCannotShiftNotingTheFirst) {
  // The pound sign (163) and A with grave accent (192) cannot be stored.
  const ShiftResult encoded = shiftEncode(bytes({'a', 163, 'b', 192, 'c'}));
  EXPECT_FALSE(encoded.ok());
  EXPECT_EQ(encoded.firstBad, 1u);
  EXPECT_EQ(encoded.text, shiftEncode("abc").text);

  const ShiftResult decoded = shiftDecode(bytes({200, 99, 201, 0}));
  EXPECT_EQ(decoded.firstBad, 1u);
  EXPECT_EQ(decoded.text, bytes({100, 101}));

  // The same in a long text, where a single byte out of range lies far in.
  std::string stored(300, static_cast<char>(200));
  stored[257] = 99;
  const ShiftResult longDecoded = shiftDecode(stored);
  EXPECT_EQ(longDecoded.firstBad, 257u);
  EXPECT_EQ(longDecoded.text, std::string(299, static_cast<char>(100)));

  // Into a buffer, as the list decodes its names: the same bytes.
  std::string buffer(stored.size(), '\0');
  buffer.resize(shiftDecodeInto(stored, buffer.data()));
  EXPECT_EQ(buffer, longDecoded.text);
}

TEST(ShiftCodec, EncodedTextHoldsNoDelimiter) {
  const ShiftResult encoded = shiftEncode("a \"b\",\r\nc");
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.text.find_first_of(" \",\r\n"), std::string::npos);
  EXPECT_EQ(shiftDecode(encoded.text).text, "a \"b\",\r\nc");
}

TEST(Cp1252, EveryByteRoundTrips) {
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t codePoint = cp1252ToUnicode(static_cast<unsigned char>(byte));
    EXPECT_EQ(unicodeToCp1252(codePoint), byte) << byte;
  }
}

TEST(Cp1252, MapsTheWindowsBytes) {
  EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');  // euro sign
  EXPECT_EQ(cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(cp1252ToUnicode(0x8D), U'\u008D');  // undefined: kept as a control
  EXPECT_EQ(cp1252ToUnicode(0xE9), U'\u00E9');
  EXPECT_EQ(unicodeToCp1252(U'\u20AC'), 0x80);
  EXPECT_EQ(unicodeToCp1252(U'\u2122'), 0x99);
}

TEST(Cp1252, RefusesWhatTheCodePageCannotCarry) {
  // Control code points whose byte carries another character, and characters
  // outside the code page.
  for (char32_t refused : {U'\u0080', U'\u0099', U'\u0100', U'\u20AD', U'\u4E2D', U'\U0001F600'}) {
    EXPECT_EQ(unicodeToCp1252(refused), std::nullopt) << static_cast<unsigned>(refused);
  }
}

}  // namespace
}  // namespace ombrel::storage
