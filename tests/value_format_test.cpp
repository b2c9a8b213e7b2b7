#include "records/value_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "records/value_parse.h"

namespace {

using enum TypeCode;
using Bytes = std::vector<std::uint8_t>;

std::string Format(Bytes bytes, TypeCode type, std::int32_t length = 0) {
  return FormatCellValue(bytes.data(), type, length);
}

TEST(ValueFormat, NumbersAtTheirBoundaries) {
  const std::tuple<Bytes, TypeCode, const char*> cases[] = {
      {{0x00}, UByte, "0"}, {{0xFF}, UByte, "255"}, {{0x7F}, SByte, "127"},
      {{0x80}, SByte, "-128"}, {{0xFF}, SByte, "-1"}, {{0x00}, SByte, "0"},
      {{0x00}, XByte, "00"}, {{0x0A}, XByte, "0A"}, {{0xFF}, XByte, "FF"},
      {{0x00, 0x00}, UWord, "0"}, {{0x00, 0x80}, UWord, "32768"}, {{0xFF, 0xFF}, UWord, "65535"},
      {{0x00, 0x80}, SWord, "-32768"}, {{0xFF, 0x7F}, SWord, "32767"}, {{0xFF, 0xFF}, SWord, "-1"},
      {{0x00, 0x80}, XWord, "8000"}, {{0x00, 0x00}, XWord, "0000"}, {{0xCD, 0xAB}, XWord, "ABCD"},
      {{0, 0, 0, 0}, ULong, "0"}, {{0xFF, 0xFF, 0xFF, 0xFF}, ULong, "4294967295"},
      {{0x00, 0xCA, 0x9A, 0x3B}, ULong, "1000000000"}, {{0xFF, 0xFF, 0xFF, 0xFF}, SLong, "-1"},
      {{0x00, 0x00, 0x00, 0x80}, SLong, "-2147483648"},
      {{0xFF, 0xFF, 0xFF, 0x7F}, SLong, "2147483647"},
      {{0, 0, 0, 0}, SLong, "0"}, {{0x78, 0x56, 0x34, 0x12}, XLong, "12345678"},
      {{0, 0, 0, 0}, XLong, "00000000"}, {{0xEF, 0xBE, 0xAD, 0xDE}, XLong, "DEADBEEF"},
  };
  for (const auto& [bytes, type, text] : cases) {
    EXPECT_EQ(Format(bytes, type), text) << static_cast<int>(type);
  }
  // The bytes around each field are 0xEE; a formatter reading one byte too many would show it.
  const std::uint8_t around[] = {0xEE, 0x34, 0x12, 0xEE, 0x01, 0x00, 0x00, 0x00, 0xEE};
  EXPECT_EQ(FormatCellValue(around + 1, XWord, 0), "1234");
  EXPECT_EQ(FormatCellValue(around + 1, XByte, 0), "34");
  EXPECT_EQ(FormatCellValue(around + 4, ULong, 0), "1");
  EXPECT_EQ(FormatCellValue(around + 1, String, 2), "\x34\x12");
}

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

TEST(ValueFormat, NumberTextsParseBackToTheSameValue) {
  EXPECT_EQ(ToSignedDecimalText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(ToSignedDecimalText(-1), "-1");
  EXPECT_EQ(ToUnsignedDecimalText(0), "0");
  EXPECT_EQ(ToUnsignedDecimalText(10), "10");
  EXPECT_EQ(ToUnsignedDecimalText(4294967295u), "4294967295");
  const std::tuple<int, std::uint32_t, const char*> hex[] = {
      {2, 0x1234, "34"}, {10, 0xABC, "0000000ABC"}, {12, 0xFFFFFFFF, "0000FFFFFFFF"},
      {8, 0xFEDCBA98, "FEDCBA98"}, {1, 0x1F, "F"}, {0, 0x1F, ""}, {-5, 0x1F, ""}};
  for (const auto& [digits, value, text] : hex) EXPECT_EQ(ToHexText(digits, value), text) << digits;
  // The texts are exactly what the edit path reads back.
  for (std::uint32_t value : {0u, 1u, 9u, 10u, 99u, 255u, 256u, 32767u, 32768u, 65535u, 65536u,
                              2147483647u, 2147483648u, 4294967295u, 0x80000001u}) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(ToUnsignedDecimalText(value), 10)), value);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(ToHexText(8, value), 16)), value);
    const auto asSigned = static_cast<std::int32_t>(value);
    EXPECT_EQ(ParseSignedDecimal(ToSignedDecimalText(asSigned)), asSigned);
  }
}

}  // namespace
