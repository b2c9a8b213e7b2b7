#include "records/record_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using enum TypeCode;
using Texts = std::vector<std::string>;

// A table over `bytes` (none: nothing loaded) laid out as `members`.
struct Table : Records {
  Table(std::vector<MemberDef> members, std::optional<std::string_view> bytes,
        std::int32_t noBase = 0)
      : Records(std::move(members), bytes) {
    table.Refresh(data, structDef, columns, noBase);
  }
  Texts Row(std::uint32_t row) const {
    Texts texts;
    for (int column = 0; column < table.ColumnCount(); ++column)
      texts.push_back(table.CellText(row, column));
    return texts;
  }
  RecordTable table;
};

std::string Counting(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i);
  return bytes;
}

TEST(RecordTable, RowsAddressesPartialLastRecordAndNoBase) {
  const std::vector<MemberDef> members = {
      {UByte, "a", 1}, {UByte, "b", 1}, {UWord, "c", 1}, {UWord, "d", 1}};
  Table partial(members, Counting(13));
  ASSERT_EQ(partial.table.RowCount(), 3u);
  EXPECT_EQ(partial.Row(0), (Texts{"0", "00000000", "0", "1", "770", "1284"}));
  EXPECT_EQ(partial.Row(1), (Texts{"1", "00000006", "6", "7", "2312", "2826"}));
  EXPECT_EQ(partial.Row(2), (Texts{"2", "0000000C", "12", "", "", ""}));
  EXPECT_EQ(partial.table.CellText(3, 0), "");  // past the last row
  for (int column : {6, 1000, -1}) EXPECT_EQ(partial.table.CellText(0, column), "") << column;

  Table oneBased(members, Counting(12), 1);  // only the "No." texts change
  ASSERT_EQ(oneBased.table.RowCount(), 2u);
  EXPECT_EQ(oneBased.Row(0), (Texts{"1", "00000000", "0", "1", "770", "1284"}));
  EXPECT_EQ(oneBased.Row(1), (Texts{"2", "00000006", "6", "7", "2312", "2826"}));

  // Fields running past the end show nothing: a long at 4 of 6 bytes, a string at 4 of 6.
  EXPECT_EQ(Table({{XLong, "x", 1}}, Counting(6)).Row(1), (Texts{"1", "00000004", ""}));
  EXPECT_EQ(Table({{String, "s", 4}}, "abcdef").Row(1), (Texts{"1", "00000004", ""}));
}

TEST(RecordTable, NoDataOneByteRecordsAndNoMemberColumns) {
  const std::vector<MemberDef> members = {{ULong, "x", 1}, {String, "s", 4}};
  const struct {
    std::vector<MemberDef> members;
    std::optional<std::string> bytes;
    std::int32_t noBase;
    std::uint32_t rows;
    Texts lastRow;
  } cases[] = {
      {members, std::nullopt, 0, 1, {"0", "00000000", "", ""}},
      {members, "", 1, 1, {"1", "00000000", "", ""}},
      {{{XByte, "v", 1}}, Counting(256), 0, 256, {"255", "000000FF", "FF"}},
      {{{Void, "pad", 4}}, Counting(10), 0, 3, {"2", "00000008"}},  // no member columns
      {{{UByte, "none", 0}}, Counting(10), 0, 1, {"0", "00000000"}},  // a record of 0 bytes
  };
  for (const auto& c : cases) {
    Table t(c.members, c.bytes, c.noBase);
    ASSERT_EQ(t.table.RowCount(), c.rows);
    EXPECT_EQ(t.Row(c.rows - 1), c.lastRow);
  }
}

TEST(RecordTable, StringCellsEndAtTheirFirstZeroByteAndAtTheListLimit) {
  Table strings({{String, "s", 4}}, std::string("ab\0c\x8D\x5C\0\0", 8));  // 構 is 8D 5C
  EXPECT_EQ(strings.Row(0)[2], "ab");
  EXPECT_EQ(strings.Row(1)[2], "\x8D\x5C");
  EXPECT_EQ(Table({{String, "s", 3000}}, std::string(3000, 'x')).Row(0)[2],
            std::string(kCellTextLimit, 'x'));
}

TEST(RecordTable, EditedCellShowsAsTypedUntilTheNextRefresh) {
  Table t({{UByte, "a", 1}, {XByte, "b", 1}}, Counting(4));
  t.table.SetEditedText(1, 3, "7f");
  EXPECT_EQ(t.Row(1), (Texts{"1", "00000002", "2", "7f"}));
  EXPECT_EQ(t.table.EditedText(1, 3), std::optional<std::string>("7f"));
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
    Table t({{Void, "pad", recordSize}}, "");
    t.data.bytes = std::make_unique<std::uint8_t[]>(1);
    t.data.byteCount = 0xFFFFFFFFu;
    t.table.Refresh(t.data, t.structDef, t.columns, 1);
    ASSERT_EQ(t.table.RowCount(), rows) << recordSize;
    EXPECT_EQ(t.Row(rows - 1), (Texts{std::to_string(rows), lastAddress}));
  }
}

}  // namespace
