#include "records/value_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using enum TypeCode;
using Bytes = std::vector<std::uint8_t>;

std::string Format(Bytes bytes, TypeCode type, std::int32_t length = 0) {
  return FormatCellValue(bytes.data(), type, length);
}

// Number cells at their boundaries are proven together with storing, in value_parse_test.

TEST(ValueFormat, StringsPassEveryByteThroughAndOtherCodesAreEmpty) {
  EXPECT_EQ(Format({'A', 'B', 0, 0, 0}, String, 5), std::string("AB\0\0\0", 5));
  EXPECT_EQ(Format({'A', 'B', 'C', 'D', 'E', 'F'}, String, 5), "ABCDE");
  EXPECT_EQ(Format({0, 'X'}, String, 2), std::string("\0X", 2));
  // CP932 text and a lone lead byte are neither converted nor cut.
  EXPECT_EQ(Format({0x8D, 0x5C, 0x91, 0xA2, 0x82}, String, 5), "構造\x82");
  for (std::int32_t length : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(Format({'A'}, String, length), "") << length;
  }
  for (std::int32_t code : {0, 11, 12, -1, 255, std::numeric_limits<std::int32_t>::max(),
                            std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(Format({0x31, 0x32, 0x33, 0x34}, static_cast<TypeCode>(code), 4), "") << code;
  }
}

TEST(ValueFormat, NumberTexts) {
  EXPECT_EQ(ToSignedDecimalText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(ToSignedDecimalText(-1), "-1");
  EXPECT_EQ(ToUnsignedDecimalText(0), "0");
  EXPECT_EQ(ToUnsignedDecimalText(10), "10");
  EXPECT_EQ(ToUnsignedDecimalText(4294967295u), "4294967295");
  const std::tuple<int, std::uint32_t, const char*> hex[] = {
      {2, 0x1234, "34"}, {10, 0xABC, "0000000ABC"}, {12, 0xFFFFFFFF, "0000FFFFFFFF"},
      {8, 0xFEDCBA98, "FEDCBA98"}, {1, 0x1F, "F"}, {0, 0x1F, ""}, {-5, 0x1F, ""}};
  for (const auto& [digits, value, text] : hex) EXPECT_EQ(ToHexText(digits, value), text) << digits;
}

}  // namespace
