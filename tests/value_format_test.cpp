#include "records/value_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "records/value_parse.h"

namespace {

std::string Format(std::vector<std::uint8_t> bytes, TypeCode type, std::int32_t length = 0) {
  return FormatCellValue(bytes.data(), type, length);
}

TEST(ValueFormat, NumbersAtTheirBoundaries) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    TypeCode type;
    const char* text;
  };
  const Case cases[] = {
      {{0x00}, TypeCode::UByte, "0"},
      {{0xFF}, TypeCode::UByte, "255"},
      {{0x7F}, TypeCode::SByte, "127"},
      {{0x80}, TypeCode::SByte, "-128"},
      {{0xFF}, TypeCode::SByte, "-1"},
      {{0x00}, TypeCode::SByte, "0"},
      {{0x00}, TypeCode::XByte, "00"},
      {{0x0A}, TypeCode::XByte, "0A"},
      {{0xFF}, TypeCode::XByte, "FF"},
      {{0x00, 0x00}, TypeCode::UWord, "0"},
      {{0x00, 0x80}, TypeCode::UWord, "32768"},
      {{0xFF, 0xFF}, TypeCode::UWord, "65535"},
      {{0x00, 0x80}, TypeCode::SWord, "-32768"},
      {{0xFF, 0x7F}, TypeCode::SWord, "32767"},
      {{0xFF, 0xFF}, TypeCode::SWord, "-1"},
      {{0x00, 0x80}, TypeCode::XWord, "8000"},
      {{0x00, 0x00}, TypeCode::XWord, "0000"},
      {{0xCD, 0xAB}, TypeCode::XWord, "ABCD"},
      {{0, 0, 0, 0}, TypeCode::ULong, "0"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, TypeCode::ULong, "4294967295"},
      {{0x00, 0xCA, 0x9A, 0x3B}, TypeCode::ULong, "1000000000"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, TypeCode::SLong, "-1"},
      {{0x00, 0x00, 0x00, 0x80}, TypeCode::SLong, "-2147483648"},
      {{0xFF, 0xFF, 0xFF, 0x7F}, TypeCode::SLong, "2147483647"},
      {{0, 0, 0, 0}, TypeCode::SLong, "0"},
      {{0x78, 0x56, 0x34, 0x12}, TypeCode::XLong, "12345678"},
      {{0, 0, 0, 0}, TypeCode::XLong, "00000000"},
      {{0xEF, 0xBE, 0xAD, 0xDE}, TypeCode::XLong, "DEADBEEF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(c.bytes, c.type), c.text) << static_cast<int>(c.type);
  }
}

TEST(ValueFormat, ReadsOnlyItsOwnBytesAtAnyAlignment) {
  // The bytes around each field are 0xEE; a formatter that read one byte too many would show it.
  const std::uint8_t bytes[] = {0xEE, 0x34, 0x12, 0xEE, 0x01, 0x00, 0x00, 0x00, 0xEE};
  EXPECT_EQ(FormatCellValue(bytes + 1, TypeCode::XWord, 0), "1234");
  EXPECT_EQ(FormatCellValue(bytes + 1, TypeCode::XByte, 0), "34");
  EXPECT_EQ(FormatCellValue(bytes + 4, TypeCode::ULong, 0), "1");
  EXPECT_EQ(FormatCellValue(bytes + 1, TypeCode::String, 2), "\x34\x12");
}

TEST(ValueFormat, StringsPassEveryByteThrough) {
  const std::string zeroTail("AB\0\0\0", 5);
  EXPECT_EQ(Format({'A', 'B', 0, 0, 0}, TypeCode::String, 5), zeroTail);
  EXPECT_STREQ(Format({'A', 'B', 0, 0, 0}, TypeCode::String, 5).c_str(), "AB");
  EXPECT_EQ(Format({'A', 'B', 'C', 'D', 'E', 'F'}, TypeCode::String, 5), "ABCDE");
  EXPECT_EQ(Format({0, 'X'}, TypeCode::String, 2), std::string("\0X", 2));
  // CP932 text and a lone lead byte are not converted or cut.
  EXPECT_EQ(Format({0x8D, 0x5C, 0x91, 0xA2, 0x82}, TypeCode::String, 5), "構造\x82");
  EXPECT_EQ(Format({'A'}, TypeCode::String, 0), "");
  EXPECT_EQ(Format({'A'}, TypeCode::String, -1), "");
  EXPECT_EQ(Format({'A'}, TypeCode::String, std::numeric_limits<std::int32_t>::min()), "");
}

TEST(ValueFormat, VoidAndUnknownCodesAreEmpty) {
  for (std::int32_t code : {0, 11, 12, -1, 255, std::numeric_limits<std::int32_t>::max(),
                            std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(Format({0x31, 0x32, 0x33, 0x34}, static_cast<TypeCode>(code), 4), "") << code;
  }
}

TEST(ValueFormat, NumberTexts) {
  EXPECT_EQ(ToSignedDecimalText(0), "0");
  EXPECT_EQ(ToSignedDecimalText(-1), "-1");
  EXPECT_EQ(ToSignedDecimalText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(ToSignedDecimalText(std::numeric_limits<std::int32_t>::max()), "2147483647");
  EXPECT_EQ(ToUnsignedDecimalText(0), "0");
  EXPECT_EQ(ToUnsignedDecimalText(10), "10");
  EXPECT_EQ(ToUnsignedDecimalText(4294967295u), "4294967295");

  EXPECT_EQ(ToHexText(2, 0x1234), "34");
  EXPECT_EQ(ToHexText(10, 0xABC), "0000000ABC");
  EXPECT_EQ(ToHexText(12, 0xFFFFFFFF), "0000FFFFFFFF");
  EXPECT_EQ(ToHexText(8, 0xFEDCBA98), "FEDCBA98");
  EXPECT_EQ(ToHexText(1, 0x1F), "F");
  EXPECT_EQ(ToHexText(0, 0x1F), "");
  EXPECT_EQ(ToHexText(-5, 0x1F), "");
}

TEST(ValueFormat, FormattedTextsParseBackToTheSameValue) {
  // The decimal and hexadecimal texts are exactly what the edit path reads back.
  for (std::uint32_t value : {0u, 1u, 9u, 10u, 99u, 255u, 256u, 32767u, 32768u, 65535u, 65536u,
                              2147483647u, 2147483648u, 4294967295u, 0x80000001u}) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(ToUnsignedDecimalText(value), 10)), value);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(ToHexText(8, value), 16)), value);
    auto asSigned = static_cast<std::int32_t>(value);
    EXPECT_EQ(ParseSignedDecimal(ToSignedDecimalText(asSigned)), asSigned);
  }
}

}  // namespace
