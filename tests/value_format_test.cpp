#include "records/value_format.h"

#include <gtest/gtest.h>

using enum TypeCode;

TEST(ValueFormat, StringsPassEveryByteThroughHexHasTheDigitsAskedOtherCodesAreEmpty) {
  const std::uint8_t field[] = {'A', 0x8D, 0x5C, 0, 0x82, 'F'};  // 構, then a lone lead byte
  const std::tuple<TypeCode, std::int32_t, std::string> cases[] = {
      {String, 5, std::string("A\x8D\x5C\0\x82", 5)},
      {String, 1, "A"},
      {String, -1, ""},
      {Void, 4, ""},
      {static_cast<TypeCode>(11), 4, ""}};
  for (const auto& [type, length, text] : cases) {
    EXPECT_EQ(FormatCellValue(field, type, length), text);
  }
  const std::tuple<int, std::uint32_t, const char*> hex[] = {
      {2, 0x1234, "34"},           {-1, 0x1F, ""}, {10, 0xABC, "0000000ABC"},
      {8, 0xFEDCBA98, "FEDCBA98"}, {1, 0x1F, "F"}, {0, 0x1F, ""}};
  for (const auto& [digits, value, text] : hex) EXPECT_EQ(ToHexText(digits, value), text);
  // Both pair loops, the one- and two-digit tails, up to the largest 64-bit export value.
  const std::pair<std::uint64_t, const char*> decimal[] = {
      {0, "0"},
      {9, "9"},
      {10, "10"},
      {99, "99"},
      {100, "100"},
      {101, "101"},
      {4294967295, "4294967295"},
      {4294967296, "4294967296"},
      {18446744073709551615u, "18446744073709551615"}};
  char out[20];
  for (const auto& [value, text] : decimal)
    EXPECT_EQ(std::string(out, WriteUnsignedDecimal(out, value)), text);
}
