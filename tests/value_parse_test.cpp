#include "records/value_parse.h"

#include <cstdio>
#include <map>

#include "records/value_format.h"
#include "test_support.h"

using enum TypeCode;
using namespace std::literals;

// Letters count 10 to 15 in base 10 too; any other byte is a zero digit; 0 ends the text.
TEST(ValueParse, EveryByteHasADigitValueAndOneLeadingMinusIsASign) {
  const std::tuple<std::string, int, std::uint32_t> cases[] = {{"", 10, 0},
                                                               {"300", 10, 300},
                                                               {"FF", 10, 165},
                                                               {"aF", 16, 0xAF},
                                                               {"0x1F", 16, 0x1F},
                                                               {"1G", 16, 0x10},
                                                               {"1,000", 10, 10000},
                                                               {"-1", 10, 1},
                                                               {"4294967297", 10, 1},
                                                               {"123456789ABC", 16, 0x56789ABC},
                                                               {"1構", 10, 100},
                                                               {std::string("12\0"
                                                                            "34",
                                                                            5),
                                                                10, 12}};
  for (const auto& [text, base, value] : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(text, base)), value) << text << " " << base;
  }
  const std::pair<std::string, std::int32_t> signedCases[] = {{"", 0},
                                                              {"-", 0},
                                                              {"-129", -129},
                                                              {"2147483648", INT32_MIN},
                                                              {"-2147483649", 2147483647},
                                                              {"--5", -5},
                                                              {" -5", 5},
                                                              {"5-", 50},
                                                              {"A", 10},
                                                              {"-7\0z9"s, -7}};
  for (const auto& [text, value] : signedCases) EXPECT_EQ(ParseSignedDecimal(text), value) << text;
}

// Records of every type, string t [4] and void pad: 26 bytes each, every byte 0xEE at first.
struct Cells : Records {
  explicit Cells(std::uint32_t records, std::uint32_t extraBytes = 0)
      : Records({{UByte, "m", 1},
                 {SByte, "m", 1},
                 {XByte, "m", 1},
                 {UWord, "m", 1},
                 {SWord, "m", 1},
                 {XWord, "m", 1},
                 {ULong, "m", 1},
                 {SLong, "m", 1},
                 {XLong, "m", 1},
                 {String, "t", 4},
                 {Void, "pad", 1}},
                std::string(records * 26 + extraBytes, '\xEE')) {}
  int Store(TypeCode type, std::string_view text, std::uint32_t record = 0, int column = -1) {
    if (column == -1) column = type == String ? 11 : static_cast<int>(type) + (type < String);
    return static_cast<int>(StoreCellValue(data, structDef, columns, text, column, record));
  }
};

// Each number type at its limits and at values whose bytes all differ: the text an independent
// conversion gives stores exactly those bytes in the middle record, and formats back.
TEST(StoreCellValue, EveryNumberTypeRoundTripsAtItsBoundaries) {
  const std::map<TypeCode, int> starts = {{UByte, 0}, {SByte, 1},  {XByte, 2},
                                          {UWord, 3}, {SWord, 5},  {XWord, 7},
                                          {ULong, 9}, {SLong, 13}, {XLong, 17}};
  for (const auto& [type, start] : starts) {
    const int width = start < 3 ? 1 : start < 9 ? 2 : 4;
    const std::int64_t wrap = std::int64_t{1} << (8 * width);
    const std::int64_t half = wrap / 2;
    for (std::int64_t value : {std::int64_t{0}, std::int64_t{1}, half - 1, half, half + 1, wrap - 1,
                               0x12345678 % wrap, 0xFEDCBA98 % wrap}) {
      const std::int64_t asSigned = value < half ? value : value - wrap;
      char hex[9];
      std::snprintf(hex, sizeof hex, "%0*llX", 2 * width, static_cast<unsigned long long>(value));
      const char family = TypeName(type)[0];
      const std::string text = family == 'u'   ? std::to_string(value)
                               : family == 's' ? std::to_string(asSigned)
                                               : std::string(hex);
      Cells table(3);
      Cells want(3);
      for (int i = 0; i < width; ++i) want.data.bytes[26 + start + i] = (value >> 8 * i) & 0xFF;
      ASSERT_EQ(table.Store(type, text, 1), 1) << text;
      EXPECT_EQ(Contents(table.data), Contents(want.data)) << text;
      EXPECT_EQ(FormatCellValue(table.data.bytes.get() + 26 + start, type, 0), text);
    }
  }
}

// The bytes a store changes in two records and 8 bytes of a third, which end inside its xword.
// Each family reads with its own rule; a string is cut, with no zero, or padded with zeros.
TEST(StoreCellValue, WritesOnlyWhollyInsideTheData) {
  const std::tuple<TypeCode, std::string, std::uint32_t, int, std::map<int, int>> cases[] = {
      {UByte, "-1", 0, 1, {{0, 1}}},
      {UWord, "FF", 0, 1, {{3, 0xA5}, {4, 0}}},
      {String, "ab", 1, 1, {{47, 'a'}, {48, 'b'}, {49, 0}, {50, 0}}},
      {String, "abc構", 1, 1, {{47, 'a'}, {48, 'b'}, {49, 'c'}, {50, 0x8D}}},
      {UByte, "7", 2, 1, {{52, 7}}},
      {SWord, "4660", 2, 1, {{57, 0x34}, {58, 0x12}}},
      {XWord, "1", 2, 0, {}},
      {SLong, "1", 2, 0, {}},
      {String, "x", 2, 0, {}},
      {UByte, "1", 3, 0, {}},
      {UByte, "1", 0xFFFFFFFFu, 0, {}}};
  for (const auto& [type, text, record, result, changed] : cases) {
    Cells table(2, 8);
    Cells want(2, 8);
    for (const auto& [at, byte] : changed) want.data.bytes[at] = byte;
    EXPECT_EQ(table.Store(type, text, record), result) << text;
    EXPECT_EQ(Contents(table.data), Contents(want.data)) << text;
  }
}

// A negative record size, or a record index times a large one, must not reach outside the
// data; nor a negative offset, a column past the list or one of the two fixed ones.
TEST(StoreCellValue, OddColumnsAndLayoutsAreRefused) {
  Cells table(1);
  const std::string before = Contents(table.data);
  for (int column : {-2, 0, 1, 12, 1 << 30}) EXPECT_EQ(table.Store(UByte, "1", 0, column), 0);
  EXPECT_EQ(table.Store(UByte, "1", 1), 0);  // a field starting exactly at the end of the data
  EXPECT_EQ(Cells(0, 25).Store(String, "ok"), 1);  // one ending there
  for (auto [size, type, record] : {std::tuple{-4, UByte, 1u},
                                    {-4, XLong, 0xFFFFFFFFu},
                                    {0x40000000, UByte, 4u},
                                    {0x7FFFFFFF, UByte, 0xFFFFFFFFu}}) {
    table.structDef.recordSize = size;
    EXPECT_EQ(table.Store(type, "1", record), 0) << size;
  }
  table.columns[11].memberIndex = 99;      // a string of no member, or of no bytes, is taken
  EXPECT_EQ(table.Store(String, "z"), 1);  // and writes nothing
  table.columns[11].memberIndex = 9;
  table.structDef.members[9].count = 0;
  EXPECT_EQ(table.Store(String, "z"), 1);
  table.columns[3].offset = -1;
  table.structDef.recordSize = 26;
  EXPECT_EQ(table.Store(SByte, "1"), 0);
  EXPECT_EQ(Contents(table.data), before);
  table.structDef.members[9].count = 1;  // one byte: the first letter, no zero
  EXPECT_EQ(table.Store(String, "zy"), 1);
  EXPECT_EQ(table.data.bytes[21], 'z');
}
