#include "records/value_parse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/value_format.h"

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
struct Table {
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;

  explicit Table(std::uint32_t records, std::uint32_t extraBytes = 0) {
    for (TypeCode type : {UByte, SByte, XByte, UWord, SWord, XWord, ULong, SLong, XLong}) {
      structDef.members.push_back({type, "m", 1});
    }
    structDef.members.push_back({String, "t", 4});
    structDef.members.push_back({Void, "pad", 1});
    structDef.recordSize = ComputeRecordSize(structDef.members);
    BuildColumnList(structDef, columns);
    Resize(records * 26 + extraBytes);
  }
  void Resize(std::uint32_t byteCount) {
    data.byteCount = byteCount;
    data.bytes.reset(new std::uint8_t[byteCount]);
    std::fill_n(data.bytes.get(), byteCount, std::uint8_t{0xEE});
  }
  int ColumnOf(TypeCode type) const {
    for (std::size_t i = 2; i < columns.size(); ++i) {
      if (columns[i].displayType == type) return static_cast<int>(i);
    }
    return -1;
  }
  std::size_t Start(TypeCode type, std::uint32_t record) const {
    return record * 26 +
           static_cast<std::size_t>(columns[static_cast<std::size_t>(ColumnOf(type))].offset);
  }
  Bytes All() const { return Bytes(data.bytes.get(), data.bytes.get() + data.byteCount); }
  Bytes Field(TypeCode type, std::uint32_t record, std::size_t length) const {
    return Bytes(data.bytes.get() + Start(type, record),
                 data.bytes.get() + Start(type, record) + length);
  }
  int Store(TypeCode type, std::string_view text, std::uint32_t record = 0) {
    return StoreCellValue(data, structDef, columns, text, ColumnOf(type), record);
  }
};

TEST(StoreCellValue, WritesTheLowBytesLittleEndian) {
  // The text, the bytes stored, and those bytes formatted again.
  const std::tuple<TypeCode, const char*, Bytes, const char*> cases[] = {
      {UByte, "300", {0x2C}, "44"}, {UByte, "-1", {0x01}, "1"}, {UByte, "", {0x00}, "0"},
      {SByte, "-1", {0xFF}, "-1"}, {SByte, "200", {0xC8}, "-56"}, {SByte, "-129", {0x7F}, "127"},
      {SByte, "-128", {0x80}, "-128"}, {XByte, "0x1F", {0x1F}, "1F"}, {XByte, "1G", {0x10}, "10"},
      {XByte, "1FF", {0xFF}, "FF"}, {UWord, "FF", {0xA5, 0x00}, "165"},
      {UWord, "65536", {0x00, 0x00}, "0"}, {UWord, "65535", {0xFF, 0xFF}, "65535"},
      {SWord, "-32768", {0x00, 0x80}, "-32768"}, {SWord, "32768", {0x00, 0x80}, "-32768"},
      {XWord, "ff", {0xFF, 0x00}, "00FF"}, {XWord, "1234", {0x34, 0x12}, "1234"},
      {ULong, "12 ", {120, 0, 0, 0}, "120"}, {ULong, "1,000", {0x10, 0x27, 0, 0}, "10000"},
      {ULong, "4294967296", {0, 0, 0, 0}, "0"},
      {ULong, "4294967295", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
      {SLong, "-2147483648", {0, 0, 0, 0x80}, "-2147483648"}, {SLong, "+5", {5, 0, 0, 0}, "5"},
      {XLong, "DEADBEEF", {0xEF, 0xBE, 0xAD, 0xDE}, "DEADBEEF"},
      {XLong, "", {0, 0, 0, 0}, "00000000"},
  };
  for (const auto& [type, text, bytes, shown] : cases) {
    SCOPED_TRACE(text);
    Table table(3);
    ASSERT_EQ(table.Store(type, text, 1), 1);
    EXPECT_EQ(table.Field(type, 1, bytes.size()), bytes);
    EXPECT_EQ(FormatCellValue(table.data.bytes.get() + table.Start(type, 1), type, 0), shown);
    Bytes outside = table.All();  // every byte outside the field is as it was
    std::fill_n(outside.begin() + static_cast<std::ptrdiff_t>(table.Start(type, 1)), bytes.size(),
                0xEE);
    EXPECT_EQ(outside, Table(3).All());
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
  Table empty(0);  // no data at all, then an empty file
  empty.data.bytes.reset();
  EXPECT_EQ(empty.Store(UByte, "1"), 0);
  empty.Resize(0);
  EXPECT_EQ(empty.Store(UByte, "1"), 0);
  for (int column : {-1, 0, 1, static_cast<int>(exact.columns.size()), 1 << 30}) {
    EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "1", column, 0), 0);
  }
  // Void and unknown display types write nothing but are taken.
  exact.columns[2].displayType = Void;
  EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "99", 2, 0), 1);
  exact.columns[2].displayType = static_cast<TypeCode>(42);
  EXPECT_EQ(StoreCellValue(exact.data, exact.structDef, exact.columns, "99", 2, 0), 1);
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
