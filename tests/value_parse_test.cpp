#include "records/value_parse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/value_format.h"

namespace {

TEST(ValueParse, EveryByteHasADigitValue) {
  struct Case {
    std::string text;
    int base;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"", 10, 0},
      {"0", 10, 0},
      {"300", 10, 300},
      {"FF", 10, 165},  // letters count 10 to 15 in base 10 too
      {"ff", 16, 0xFF},
      {"aF", 16, 0xAF},
      {"0x1F", 16, 0x1F},  // "0" and "x" both count 0
      {"1G", 16, 0x10},    // a non-digit still multiplies by the base
      {"12 ", 10, 120},
      {"1,000", 10, 10000},
      {"-1", 10, 1},   // no sign here: "-" is a zero digit
      {"+5", 10, 5},
      {"4294967295", 10, 4294967295u},
      {"4294967296", 10, 0},  // wraps modulo 2^32
      {"4294967297", 10, 1},
      {"100000000", 16, 0},
      {"FFFFFFFF", 16, 0xFFFFFFFF},
      {"123456789ABC", 16, 0x56789ABC},
      {"構", 10, 0},  // both bytes of a CP932 character (8D 5C) are zero digits
      {"1構", 10, 100},
      {"\xFF\x80 9", 10, 9},
      {std::string("12\0" "34", 5), 10, 12},  // the text ends at its first zero byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseDigits(c.text, c.base)), c.value)
        << '"' << c.text << "\" base " << c.base;
  }
}

TEST(ValueParse, SignedDecimalTakesOneLeadingMinus) {
  struct Case {
    std::string text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"", 0},
      {"-", 0},
      {"-0", 0},
      {"-1", -1},
      {"127", 127},
      {"-129", -129},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", INT32_MIN},  // wraps
      {"-2147483649", 2147483647},
      {"4294967295", -1},
      {"--5", -5},  // the second "-" is a zero digit
      {"+5", 5},
      {" -5", 5},   // a sign only counts as the very first byte
      {"5-", 50},
      {"A", 10},
      {std::string("-7\0" "9", 4), -7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSignedDecimal(c.text), c.value) << '"' << c.text << '"';
  }
}

// A record layout of: ubyte u; sbyte s; xbyte x; uword uw; sword sw; xword xw; ulong ul;
// slong sl; xlong xl; string t[4]; void pad[1]; with the columns built by hand so that these
// tests stand on their own.
struct Table {
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;

  explicit Table(std::uint32_t records, std::uint32_t extraBytes = 0) {
    const TypeCode types[] = {TypeCode::UByte, TypeCode::SByte, TypeCode::XByte,
                              TypeCode::UWord, TypeCode::SWord, TypeCode::XWord,
                              TypeCode::ULong, TypeCode::SLong, TypeCode::XLong};
    columns.resize(2);
    std::int32_t offset = 0;
    for (TypeCode type : types) {
      columns.push_back({static_cast<std::int32_t>(structDef.members.size()), type, "", offset});
      structDef.members.push_back({type, "m", 1});
      offset += TypeWidth(type);
    }
    columns.push_back({static_cast<std::int32_t>(structDef.members.size()), TypeCode::String,
                       "t", offset});
    structDef.members.push_back({TypeCode::String, "t", 4});
    structDef.members.push_back({TypeCode::Void, "pad", 1});
    structDef.recordSize = offset + 5;
    Resize(records * static_cast<std::uint32_t>(structDef.recordSize) + extraBytes);
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

  std::vector<std::uint8_t> Field(TypeCode type, std::uint32_t record, std::int32_t length) const {
    const std::uint8_t* start = data.bytes.get() + record * structDef.recordSize +
                                columns[static_cast<std::size_t>(ColumnOf(type))].offset;
    return std::vector<std::uint8_t>(start, start + length);
  }

  std::vector<std::uint8_t> Bytes() const {
    return std::vector<std::uint8_t>(data.bytes.get(), data.bytes.get() + data.byteCount);
  }

  int Store(TypeCode type, std::string_view text, std::uint32_t record = 0) {
    return StoreCellValue(data, structDef, columns, text, ColumnOf(type), record);
  }
};

using Bytes = std::vector<std::uint8_t>;

TEST(StoreCellValue, WritesTheLowBytesLittleEndian) {
  struct Case {
    TypeCode type;
    const char* text;
    Bytes bytes;
    const char* shown;  // the stored bytes formatted again
  };
  const Case cases[] = {
      {TypeCode::UByte, "300", {0x2C}, "44"},
      {TypeCode::UByte, "-1", {0x01}, "1"},
      {TypeCode::UByte, "", {0x00}, "0"},
      {TypeCode::SByte, "-1", {0xFF}, "-1"},
      {TypeCode::SByte, "200", {0xC8}, "-56"},
      {TypeCode::SByte, "-129", {0x7F}, "127"},
      {TypeCode::SByte, "-128", {0x80}, "-128"},
      {TypeCode::XByte, "0x1F", {0x1F}, "1F"},
      {TypeCode::XByte, "1G", {0x10}, "10"},
      {TypeCode::XByte, "1FF", {0xFF}, "FF"},
      {TypeCode::UWord, "FF", {0xA5, 0x00}, "165"},
      {TypeCode::UWord, "65536", {0x00, 0x00}, "0"},
      {TypeCode::UWord, "65535", {0xFF, 0xFF}, "65535"},
      {TypeCode::SWord, "-32768", {0x00, 0x80}, "-32768"},
      {TypeCode::SWord, "32768", {0x00, 0x80}, "-32768"},
      {TypeCode::XWord, "ff", {0xFF, 0x00}, "00FF"},
      {TypeCode::XWord, "1234", {0x34, 0x12}, "1234"},
      {TypeCode::ULong, "12 ", {120, 0, 0, 0}, "120"},
      {TypeCode::ULong, "1,000", {0x10, 0x27, 0, 0}, "10000"},
      {TypeCode::ULong, "4294967296", {0, 0, 0, 0}, "0"},
      {TypeCode::ULong, "4294967295", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
      {TypeCode::SLong, "-2147483648", {0, 0, 0, 0x80}, "-2147483648"},
      {TypeCode::SLong, "+5", {5, 0, 0, 0}, "5"},
      {TypeCode::XLong, "DEADBEEF", {0xEF, 0xBE, 0xAD, 0xDE}, "DEADBEEF"},
      {TypeCode::XLong, "", {0, 0, 0, 0}, "00000000"},
  };
  for (const Case& c : cases) {
    Table table(3);
    Bytes before = table.Bytes();
    ASSERT_EQ(table.Store(c.type, c.text, 1), 1) << c.text;
    const std::int32_t width = TypeWidth(c.type);
    EXPECT_EQ(table.Field(c.type, 1, width), c.bytes) << c.text;
    EXPECT_EQ(FormatCellValue(table.Field(c.type, 1, width).data(), c.type, 0), c.shown);
    // Every byte outside the field is as it was.
    Bytes after = table.Bytes();
    std::size_t start = table.structDef.recordSize +
                        table.columns[static_cast<std::size_t>(table.ColumnOf(c.type))].offset;
    std::copy(before.begin() + start, before.begin() + start + width, after.begin() + start);
    EXPECT_EQ(after, before) << c.text;
  }
}

TEST(StoreCellValue, StringsAreZeroFilledOrCut) {
  struct Case {
    std::string text;
    Bytes field;
  };
  const Case cases[] = {
      {"ab", {'a', 'b', 0, 0}},
      {"abcdef", {'a', 'b', 'c', 'd'}},  // cut, no terminating zero
      {"abcd", {'a', 'b', 'c', 'd'}},
      {"", {0, 0, 0, 0}},
      {std::string("AB\0XY", 5), {'A', 'B', 0, 0}},
      {"ab構", {'a', 'b', 0x8D, 0x5C}},
      {"abc構", {'a', 'b', 'c', 0x8D}},  // half of a two-byte character is stored as is
  };
  for (const Case& c : cases) {
    Table table(2);
    Bytes before = table.Bytes();
    ASSERT_EQ(table.Store(TypeCode::String, c.text, 1), 1);
    EXPECT_EQ(table.Field(TypeCode::String, 1, 4), c.field) << c.text;
    // The void filler right after the string is untouched.
    EXPECT_EQ(table.data.bytes[2 * table.structDef.recordSize - 1], 0xEE);
    EXPECT_EQ(table.data.bytes[table.structDef.recordSize - 1], 0xEE);
  }

  // A shown text stored back (a cancelled edit) keeps what was seen, zeros after it.
  Table table(1);
  std::uint8_t* field = table.data.bytes.get() + table.columns[table.ColumnOf(TypeCode::String)].offset;
  std::copy_n("AB\0Y", 4, field);
  std::string shown = FormatCellValue(field, TypeCode::String, 4);
  ASSERT_EQ(table.Store(TypeCode::String, shown.c_str()), 1);
  EXPECT_EQ(table.Field(TypeCode::String, 0, 4), (Bytes{'A', 'B', 0, 0}));

  // A string member of count 0 writes nothing but is taken.
  table.structDef.members[static_cast<std::size_t>(
      table.columns[table.ColumnOf(TypeCode::String)].memberIndex)].count = 0;
  Bytes before = table.Bytes();
  EXPECT_EQ(table.Store(TypeCode::String, "zz"), 1);
  EXPECT_EQ(table.Bytes(), before);
}

TEST(StoreCellValue, RefusesFieldsNotWhollyInsideTheData) {
  // Two whole records and a partial third whose first 11 bytes exist (into the middle of ul).
  Table table(2, 11);
  Bytes before = table.Bytes();
  EXPECT_EQ(table.Store(TypeCode::UByte, "7", 2), 1);
  EXPECT_EQ(table.Store(TypeCode::XWord, "1234", 2), 1);  // bytes 7 and 8 of record 2
  EXPECT_EQ(table.Store(TypeCode::ULong, "1", 2), 0);     // starts inside, ends outside
  EXPECT_EQ(table.Store(TypeCode::SLong, "1", 2), 0);     // starts past the end
  EXPECT_EQ(table.Store(TypeCode::String, "x", 2), 0);
  EXPECT_EQ(table.Store(TypeCode::UByte, "1", 3), 0);
  EXPECT_EQ(table.Store(TypeCode::UByte, "1", 0xFFFFFFFFu), 0);
  Bytes after = table.Bytes();
  const std::size_t third = 2 * table.structDef.recordSize;
  EXPECT_EQ(after[third], 7);
  EXPECT_EQ(after[third + 7], 0x34);
  EXPECT_EQ(after[third + 8], 0x12);
  after[third] = 0xEE;
  after[third + 7] = after[third + 8] = 0xEE;
  EXPECT_EQ(after, before);

  // A field that starts exactly at the end of the data.
  Table exact(1);
  exact.Resize(static_cast<std::uint32_t>(exact.structDef.recordSize));
  EXPECT_EQ(exact.Store(TypeCode::UByte, "1", 1), 0);

  // No data at all, an empty file, columns that never reach here.
  Table empty(0);
  empty.data.bytes.reset();
  EXPECT_EQ(empty.Store(TypeCode::UByte, "1"), 0);
  empty.Resize(0);
  EXPECT_EQ(empty.Store(TypeCode::UByte, "1"), 0);
  Table table2(1);
  Bytes before2 = table2.Bytes();
  for (int column : {-1, 0, 1, static_cast<int>(table2.columns.size()), 1 << 30}) {
    EXPECT_EQ(StoreCellValue(table2.data, table2.structDef, table2.columns, "1", column, 0), 0);
  }
  EXPECT_EQ(table2.Bytes(), before2);
}

TEST(StoreCellValue, DegenerateRecordSizesStayInsideTheData) {
  // A record size of 0: every record index addresses record 0's fields, all inside the data.
  Table table(1);
  table.structDef.recordSize = 0;
  EXPECT_EQ(table.Store(TypeCode::UWord, "513", 0xFFFFFFFFu), 1);
  EXPECT_EQ(table.Field(TypeCode::UWord, 0, 2), (Bytes{0x01, 0x02}));

  // A negative record size would point before the data for any record past 0.
  table.structDef.recordSize = -4;
  Bytes before = table.Bytes();
  EXPECT_EQ(table.Store(TypeCode::UByte, "1", 1), 0);
  EXPECT_EQ(table.Store(TypeCode::XLong, "1", 0xFFFFFFFFu), 0);
  EXPECT_EQ(table.Bytes(), before);

  // Record index times a large record size must not wrap around 32 bits back into the data.
  Table big(1);
  big.structDef.recordSize = 0x40000000;
  EXPECT_EQ(big.Store(TypeCode::UByte, "1", 4), 0);
  big.structDef.recordSize = 0x7FFFFFFF;
  EXPECT_EQ(big.Store(TypeCode::UByte, "1", 0xFFFFFFFFu), 0);

  // A negative offset (from a malformed layout) is refused, not written before the data.
  Table negative(2);
  negative.columns[2].offset = -1;
  EXPECT_EQ(StoreCellValue(negative.data, negative.structDef, negative.columns, "1", 2, 0), 0);
}

TEST(StoreCellValue, VoidAndUnknownDisplayTypesWriteNothing) {
  Table table(1);
  table.columns[2].displayType = TypeCode::Void;
  Bytes before = table.Bytes();
  EXPECT_EQ(StoreCellValue(table.data, table.structDef, table.columns, "99", 2, 0), 1);
  table.columns[2].displayType = static_cast<TypeCode>(42);
  EXPECT_EQ(StoreCellValue(table.data, table.structDef, table.columns, "99", 2, 0), 1);
  EXPECT_EQ(table.Bytes(), before);
}

}  // namespace
