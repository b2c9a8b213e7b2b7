#include "records/value_parse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "records/value_format.h"
#include "test_support.h"

namespace {

using enum TypeCode;
using Bytes = std::vector<std::uint8_t>;

TEST(ValueParse, EveryByteHasADigitValue) {
  const std::tuple<std::string, int, std::uint32_t> cases[] = {
      {"", 10, 0}, {"0", 10, 0}, {"300", 10, 300},
      {"FF", 10, 165},  // letters count 10 to 15 in base 10 too
      {"ff", 16, 0xFF}, {"aF", 16, 0xAF},
      {"0x1F", 16, 0x1F},  // "0" and "x" both count 0
      {"1G", 16, 0x10},    // a non-digit still multiplies by the base
      {"12 ", 10, 120}, {"1,000", 10, 10000},
      {"-1", 10, 1},  // no sign here: "-" is a zero digit
      {"+5", 10, 5}, {"4294967295", 10, 4294967295u},
      {"4294967296", 10, 0}, {"4294967297", 10, 1},  // modulo 2^32
      {"100000000", 16, 0}, {"FFFFFFFF", 16, 0xFFFFFFFF}, {"123456789ABC", 16, 0x56789ABC},
      {"構", 10, 0}, {"1構", 10, 100},  // both bytes of 構 (8D 5C) are zero digits
      {"\xFF\x80 9", 10, 9},
      {std::string("12\0" "34", 5), 10, 12},  // the text ends at its first zero byte
  };
  for (const auto& [text, base, value] : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(text, base)), value)
        << text << " base " << base;
  }
}

TEST(ValueParse, SignedDecimalTakesOneLeadingMinus) {
  const std::pair<std::string, std::int32_t> cases[] = {
      {"", 0}, {"-", 0}, {"-0", 0}, {"-1", -1}, {"127", 127}, {"-129", -129},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
      {"2147483648", INT32_MIN}, {"-2147483649", 2147483647}, {"4294967295", -1},  // wraps
      {"--5", -5},  // the second "-" is a zero digit
      {"+5", 5}, {" -5", 5}, {"5-", 50}, {"A", 10}, {std::string("-7\0" "9", 4), -7},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseSignedDecimal(text), value) << text;
}

// Records of: ubyte, sbyte, xbyte, uword, sword, xword, ulong, slong, xlong, string t [4],
// void pad; 26 bytes, every data byte 0xEE to begin with.
struct Table : Records {
  explicit Table(std::uint32_t records, std::uint32_t extraBytes = 0)
      : Records({{UByte, "m", 1}, {SByte, "m", 1}, {XByte, "m", 1}, {UWord, "m", 1},
                 {SWord, "m", 1}, {XWord, "m", 1}, {ULong, "m", 1}, {SLong, "m", 1},
                 {XLong, "m", 1}, {String, "t", 4}, {Void, "pad", 1}},
                std::string(records * 26 + extraBytes, '\xEE')) {}
  int ColumnOf(TypeCode type) const {
    int column = 2;
    while (columns[static_cast<std::size_t>(column)].displayType != type) ++column;
    return column;
  }
  std::size_t Start(TypeCode type, std::uint32_t record) const {
    return record * 26 + static_cast<std::size_t>(columns[ColumnOf(type)].offset);
  }
  Bytes All() const { return Bytes(data.bytes.get(), data.bytes.get() + data.byteCount); }
  Bytes Field(TypeCode type, std::uint32_t record, std::size_t length) const {
    return Bytes(data.bytes.get() + Start(type, record),
                 data.bytes.get() + Start(type, record) + length);
  }
  int Store(TypeCode type, std::string_view text, std::uint32_t record = 0) {
    return static_cast<int>(StoreCellValue(data, structDef, columns, text, ColumnOf(type), record));
  }
};

// Each number type at its limits and at values whose bytes all differ: the bytes format to the
// text an independent conversion gives, and that text, or one a wrap (2^bits) away, stores
// exactly those bytes in the middle record, nothing else.
TEST(StoreCellValue, EveryNumberTypeRoundTripsAtItsBoundariesAndWraps) {
  for (TypeCode type : {UByte, SByte, XByte, UWord, SWord, XWord, ULong, SLong, XLong}) {
    const int width = TypeWidth(type);
    const std::int64_t wrap = std::int64_t{1} << (8 * width), half = wrap / 2;
    for (std::int64_t value : {std::int64_t{0}, std::int64_t{1}, half - 1, half, half + 1,
                               wrap - 1, 0x12345678 % wrap, 0xFEDCBA98 % wrap}) {
      const std::int64_t asSigned = value < half ? value : value - wrap;
      char hex[9];
      std::snprintf(hex, sizeof hex, "%0*llX", 2 * width, static_cast<unsigned long long>(value));
      const char family = TypeName(type)[0];
      const std::string text = family == 'u' ? std::to_string(value)
                               : family == 's' ? std::to_string(asSigned) : std::string(hex);
      const std::string wrapped = family == 'u' ? std::to_string(value + wrap)
                                  : family == 's' ? std::to_string(asSigned - wrap) : "1" + text;
      for (const std::string& typed : {text, wrapped}) {
        SCOPED_TRACE(std::string(TypeName(type)) + " " + typed);
        Table table(3), want(3);
        for (int i = 0; i < width; ++i)
          want.data.bytes[want.Start(type, 1) + i] = static_cast<std::uint8_t>(value >> 8 * i);
        ASSERT_EQ(table.Store(type, typed, 1), 1);
        EXPECT_EQ(table.All(), want.All());
        EXPECT_EQ(FormatCellValue(table.data.bytes.get() + table.Start(type, 1), type, 0), text);
      }
    }
  }
  // Each family reads with its own rule: "-" is a digit of value 0 to an unsigned column.
  const std::tuple<TypeCode, const char*, Bytes> rules[] = {
      {UByte, "-1", {0x01}}, {UWord, "FF", {0xA5, 0x00}}, {XByte, "0x1F", {0x1F}}};
  for (const auto& [type, text, bytes] : rules) {
    Table table(1);
    ASSERT_EQ(table.Store(type, text), 1);
    EXPECT_EQ(table.Field(type, 0, bytes.size()), bytes) << text;
  }
}

TEST(StoreCellValue, StringsAreZeroFilledOrCut) {
  const std::pair<std::string, Bytes> cases[] = {
      {"ab", {'a', 'b', 0, 0}}, {"abcdef", {'a', 'b', 'c', 'd'}},  // cut, no terminating zero
      {"abcd", {'a', 'b', 'c', 'd'}}, {"", {0, 0, 0, 0}},
      {std::string("AB\0XY", 5), {'A', 'B', 0, 0}}, {"ab構", {'a', 'b', 0x8D, 0x5C}},
      {"abc構", {'a', 'b', 'c', 0x8D}},  // half of a two-byte character is stored as is
  };
  for (const auto& [text, field] : cases) {
    Table table(2);
    ASSERT_EQ(table.Store(String, text, 1), 1);
    EXPECT_EQ(table.Field(String, 1, 4), field) << text;
    EXPECT_EQ(table.data.bytes[25], 0xEE);  // the void fillers after the strings
    EXPECT_EQ(table.data.bytes[51], 0xEE);
  }
  // A string member of count 0 writes nothing but is taken.
  Table table(1);
  table.structDef.members[9].count = 0;
  EXPECT_EQ(table.Store(String, "zz"), 1);
  EXPECT_EQ(table.All(), Table(1).All());
}

TEST(StoreCellValue, RefusesFieldsNotWhollyInsideTheData) {
  // Two whole records and the first 8 bytes of a third, which end inside its xword.
  Table table(2, 8);
  EXPECT_EQ(table.Store(UByte, "7", 2), 1);
  EXPECT_EQ(table.Store(SWord, "4660", 2), 1);  // bytes 5 and 6: the last whole field
  EXPECT_EQ(table.Store(XWord, "1", 2), 0);     // one byte inside, one past the end
  EXPECT_EQ(table.Store(SLong, "1", 2), 0);     // starts past the end
  EXPECT_EQ(table.Store(String, "x", 2), 0);
  EXPECT_EQ(table.Store(UByte, "1", 3), 0);
  EXPECT_EQ(table.Store(UByte, "1", 0xFFFFFFFFu), 0);
  Bytes expected = Table(2, 8).All();
  expected[52] = 7;
  expected[57] = 0x34;
  expected[58] = 0x12;
  EXPECT_EQ(table.All(), expected);

  Table exact(1);  // a field starting exactly at the end of the data
  EXPECT_EQ(exact.Store(UByte, "1", 1), 0);
  Table empty(0);  // an empty file, then no data at all
  EXPECT_EQ(empty.Store(UByte, "1"), 0);
  empty.data.bytes.reset();
  EXPECT_EQ(empty.Store(UByte, "1"), 0);
  for (int column : {-1, 0, 1, static_cast<int>(exact.columns.size()), 1 << 30}) {
    EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "1", column, 0), StoreResult::Refused);
  }
  // Void and unknown display types write nothing but are taken.
  exact.columns[2].displayType = Void;
  EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "99", 2, 0), StoreResult::Stored);
  exact.columns[2].displayType = static_cast<TypeCode>(42);
  EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "99", 2, 0), StoreResult::Stored);
  EXPECT_EQ(exact.All(), Table(1).All());
}

TEST(StoreCellValue, DegenerateRecordSizesStayInsideTheData) {
  // A record size of 0: every record index addresses record 0's fields, all inside the data.
  Table table(1);
  table.structDef.recordSize = 0;
  EXPECT_EQ(table.Store(UWord, "513", 0xFFFFFFFFu), 1);
  EXPECT_EQ(table.Field(UWord, 0, 2), (Bytes{0x01, 0x02}));
  // A negative record size would point before the data for any record past 0.
  table.structDef.recordSize = -4;
  const Bytes before = table.All();
  EXPECT_EQ(table.Store(UByte, "1", 1), 0);
  EXPECT_EQ(table.Store(XLong, "1", 0xFFFFFFFFu), 0);
  EXPECT_EQ(table.All(), before);
  // Record index times a large record size must not wrap around 32 bits back into the data.
  table.structDef.recordSize = 0x40000000;
  EXPECT_EQ(table.Store(UByte, "1", 4), 0);
  table.structDef.recordSize = 0x7FFFFFFF;
  EXPECT_EQ(table.Store(UByte, "1", 0xFFFFFFFFu), 0);
  // A negative offset from a malformed layout is refused, not written before the data.
  table.columns[2].offset = -1;
  table.structDef.recordSize = 26;
  EXPECT_EQ(table.Store(UByte, "1"), 0);
  EXPECT_EQ(table.All(), before);
}

}  // namespace
