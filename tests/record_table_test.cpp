#include "records/record_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/value_format.h"

namespace {

struct Table {
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;
  RecordTable table;

  Table(std::vector<MemberDef> members, const std::vector<std::uint8_t>* bytes, std::int32_t noBase = 0) {
    structDef.members = std::move(members);
    structDef.recordSize = ComputeRecordSize(structDef.members);
    BuildColumnList(structDef, columns);
    if (bytes != nullptr) {
      data.bytes = std::make_unique<std::uint8_t[]>(bytes->size());
      if (!bytes->empty()) std::memcpy(data.bytes.get(), bytes->data(), bytes->size());
      data.byteCount = static_cast<std::uint32_t>(bytes->size());
    }
    table.Refresh(data, structDef, columns, noBase);
  }

  std::vector<std::string> Row(std::uint32_t row) const {
    std::vector<std::string> texts;
    for (int column = 0; column < table.ColumnCount(); ++column) texts.push_back(table.CellText(row, column));
    return texts;
  }
};

std::vector<std::uint8_t> Counting(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

using Texts = std::vector<std::string>;

TEST(RecordTable, RowsAddressesAndPartialLastRecord) {
  const std::vector<MemberDef> members = {{TypeCode::UByte, "a", 1}, {TypeCode::UByte, "b", 1},
                                          {TypeCode::UWord, "c", 1}, {TypeCode::UWord, "d", 1}};
  auto thirteen = Counting(13);
  Table partial(members, &thirteen);
  ASSERT_EQ(partial.table.RowCount(), 3u);
  EXPECT_EQ(partial.Row(0), (Texts{"0", "00000000", "0", "1", "770", "1284"}));
  EXPECT_EQ(partial.Row(1), (Texts{"1", "00000006", "6", "7", "2312", "2826"}));
  EXPECT_EQ(partial.Row(2), (Texts{"2", "0000000C", "12", "", "", ""}));
  EXPECT_EQ(partial.table.CellText(3, 0), "");  // past the last row

  auto twelve = Counting(12);
  Table exact(members, &twelve, 1);
  ASSERT_EQ(exact.table.RowCount(), 2u);
  EXPECT_EQ(exact.Row(0)[0], "1");
  EXPECT_EQ(exact.Row(1)[0], "2");
  EXPECT_EQ(exact.Row(1)[1], "00000006");

  // noBase changes only the "No." texts.
  Table zeroBased(members, &twelve, 0);
  for (std::uint32_t row = 0; row < 2; ++row) {
    Texts one = exact.Row(row), zero = zeroBased.Row(row);
    EXPECT_EQ(one[0], ToUnsignedDecimalText(row + 1));
    EXPECT_EQ(zero[0], ToUnsignedDecimalText(row));
    EXPECT_EQ(Texts(one.begin() + 1, one.end()), Texts(zero.begin() + 1, zero.end()));
  }
}

TEST(RecordTable, EmptyOrMissingDataGivesOneRowWithoutMemberCells) {
  const std::vector<MemberDef> members = {{TypeCode::ULong, "x", 1}, {TypeCode::String, "s", 4}};
  Table missing(members, nullptr);
  EXPECT_EQ(missing.table.RowCount(), 1u);
  EXPECT_EQ(missing.Row(0), (Texts{"0", "00000000", "", ""}));

  std::vector<std::uint8_t> none;
  Table empty(members, &none, 1);
  EXPECT_EQ(empty.table.RowCount(), 1u);
  EXPECT_EQ(empty.Row(0), (Texts{"1", "00000000", "", ""}));
}

TEST(RecordTable, OneByteRecordsAndStructuresWithoutMemberColumns) {
  auto bytes = Counting(256);
  Table ones({{TypeCode::XByte, "v", 1}}, &bytes);
  ASSERT_EQ(ones.table.RowCount(), 256u);
  EXPECT_EQ(ones.Row(0), (Texts{"0", "00000000", "00"}));
  EXPECT_EQ(ones.Row(255), (Texts{"255", "000000FF", "FF"}));

  // Only void padding: the record has a size but no member columns.
  auto ten = Counting(10);
  Table padded({{TypeCode::Void, "pad", 4}}, &ten);
  EXPECT_EQ(padded.table.ColumnCount(), 2);
  ASSERT_EQ(padded.table.RowCount(), 3u);
  EXPECT_EQ(padded.Row(2), (Texts{"2", "00000008"}));

  // A record of no bytes would never end: one row.
  Table sizeless({{TypeCode::UByte, "none", 0}}, &ten);
  EXPECT_EQ(sizeless.table.RowCount(), 1u);
  EXPECT_EQ(sizeless.Row(0), (Texts{"0", "00000000"}));
}

TEST(RecordTable, FieldsRunningPastTheDataShowNothing) {
  auto six = Counting(6);
  Table longs({{TypeCode::XLong, "x", 1}}, &six);
  ASSERT_EQ(longs.table.RowCount(), 2u);
  EXPECT_EQ(longs.Row(0)[2], "03020100");
  EXPECT_EQ(longs.Row(1)[2], "");  // starts at 4, needs up to 7

  std::vector<std::uint8_t> text = {'a', 'b', 'c', 'd', 'e', 'f'};
  Table strings({{TypeCode::String, "s", 4}}, &text);
  EXPECT_EQ(strings.Row(0)[2], "abcd");
  EXPECT_EQ(strings.Row(1)[2], "");
}

TEST(RecordTable, StringCellsEndAtTheirFirstZeroByteAndAtTheListLimit) {
  std::vector<std::uint8_t> bytes = {'a', 'b', 0, 'c', 0x8D, 0x5C, 0, 0};  // 構 is 8D 5C
  Table strings({{TypeCode::String, "s", 4}}, &bytes);
  EXPECT_EQ(strings.Row(0)[2], "ab");
  EXPECT_EQ(strings.Row(1)[2], "\x8D\x5C");

  std::vector<std::uint8_t> longText(3000, 'x');
  Table wide({{TypeCode::String, "s", 3000}}, &longText);
  EXPECT_EQ(wide.Row(0)[2], std::string(kCellTextLimit, 'x'));
}

TEST(RecordTable, EditedCellShowsAsTypedUntilTheNextRefresh) {
  auto bytes = Counting(4);
  Table t({{TypeCode::UByte, "a", 1}, {TypeCode::XByte, "b", 1}}, &bytes);
  t.table.SetEditedText(1, 3, "7f");
  EXPECT_EQ(t.table.CellText(1, 3), "7f");
  EXPECT_EQ(t.table.EditedText(1, 3), std::optional<std::string>("7f"));
  EXPECT_EQ(t.table.CellText(1, 2), "2");  // other cells unaffected
  EXPECT_EQ(t.table.CellText(0, 3), "01");

  t.data.bytes[3] = 0x7F;
  EXPECT_EQ(t.table.CellText(1, 3), "7f");
  t.table.Refresh(t.data, t.structDef, t.columns, 0);
  EXPECT_EQ(t.table.CellText(1, 3), "7F");
  EXPECT_FALSE(t.table.EditedText(1, 3));

  t.table.SetEditedText(0, 2, "9");
  t.table.ClearEditedText(0, 2);
  EXPECT_EQ(t.table.CellText(0, 2), "0");
}

TEST(RecordTable, RowCountsUpToTheLargestDataUseUnwrappedAddresses) {
  // Only the fixed columns are read, so a small buffer can stand for 4 GiB of data.
  for (auto [recordSize, rows, lastAddress] :
       {std::tuple{1, 4294967295u, "FFFFFFFE"}, std::tuple{3, 1431655765u, "FFFFFFFC"},
        std::tuple{65536, 65536u, "FFFF0000"}}) {
    StructDef structDef;
    structDef.members = {{TypeCode::Void, "pad", recordSize}};
    structDef.recordSize = recordSize;
    ColumnList columns;
    BuildColumnList(structDef, columns);
    DataBuffer data;
    data.bytes = std::make_unique<std::uint8_t[]>(1);
    data.byteCount = 0xFFFFFFFFu;
    RecordTable table;
    table.Refresh(data, structDef, columns, 1);
    ASSERT_EQ(table.RowCount(), rows) << recordSize;
    EXPECT_EQ(table.CellText(rows - 1, 1), lastAddress);
    EXPECT_EQ(table.CellText(rows - 1, 0), ToUnsignedDecimalText(rows));
  }
}

TEST(RecordTable, NeverReadsPastTheColumnList) {
  auto bytes = Counting(4);
  Table t({{TypeCode::UByte, "a", 1}}, &bytes);
  EXPECT_EQ(t.table.ColumnCount(), 3);
  EXPECT_EQ(t.table.CellText(0, 3), "");
  EXPECT_EQ(t.table.CellText(0, 1000), "");
  EXPECT_EQ(t.table.CellText(0, -1), "");
}

}  // namespace
