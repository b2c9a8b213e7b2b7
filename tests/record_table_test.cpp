#include "records/record_table.h"

#include <numeric>

#include "test_support.h"

using enum TypeCode;

// A table over `bytes` (none: nothing loaded) laid out as `members`.
struct Rows : Records {
  Rows(std::vector<MemberDef> members, std::optional<std::string_view> bytes, int noBase = 0)
      : Records(std::move(members), bytes) {
    table.Refresh(data, structDef, columns, noBase);
  }
  // The cells of `row` from column -1 to one past the last, so that both ends read as empty.
  std::string Row(std::uint32_t row) const {
    std::string texts = table.CellText(row, -1);
    for (int i = 0; i <= table.ColumnCount(); ++i) texts += "|" + table.CellText(row, i);
    return texts;
  }
  RecordTable table;
};

// Partial records show the fields wholly inside; strings end at a zero and at the list's limit.
TEST(RecordTable, RowTexts) {
  const std::vector<MemberDef> four = {
      {UByte, "a", 1}, {UByte, "b", 1}, {UWord, "c", 1}, {UWord, "d", 1}};
  const std::string zeros("a\0bc\x8D\x5C\0\0", 8);
  std::string counting(13, '\0');
  std::iota(counting.begin(), counting.end(), '\0');
  const std::tuple<std::vector<MemberDef>, std::optional<std::string>, int, std::uint32_t,
                   std::uint32_t, std::string>
      cases[] = {{four, counting, 1, 3, 1, "|2|00000006|6|7|2312|2826|"},
                 {four, counting, 0, 3, 2, "|2|0000000C|12||||"},
                 {four, counting, 0, 3, 3, "|||||||"},
                 {{{ULong, "x", 1}}, std::nullopt, 0, 1, 0, "|0|00000000||"},
                 {{{UByte, "none", 0}}, counting, 0, 1, 0, "|0|00000000|"},  // records of 0 bytes
                 {{{String, "s", 4}}, zeros, 0, 2, 0, "|0|00000000|a|"},
                 {{{String, "s", 4}}, zeros, 0, 2, 1, "|1|00000004|\x8D\x5C|"},
                 {{{String, "s", 3000}},
                  std::string(3000, 'x'),
                  0,
                  1,
                  0,
                  "|0|00000000|" + std::string(1023, 'x') + "|"}};
  for (const auto& [members, bytes, noBase, rows, row, texts] : cases) {
    Rows t(members, bytes, noBase);
    EXPECT_EQ(t.table.RowCount(), rows);
    EXPECT_EQ(t.Row(row), texts) << members[0].name << " row " << row;
  }
  // A reused buffer holds nothing from before; an edit taken back shows the data again.
  Rows t(four, counting);
  std::string out = "old";
  t.table.SetEditedText(0, 2, "9");
  t.table.ClearEditedText(0, 2);
  t.table.CellText(0, 99, out);
  EXPECT_EQ(out + t.table.CellText(0, 2), "0");
}

// The export writes through the format alone, which must guard its own columns.
TEST(RecordTable, TheFormatWritesNothingPastTheLastColumn) {
  const Rows t({{UByte, "a", 1}}, "x");
  const RowFormat& format = t.table.Format();
  const std::uint8_t* record = t.data.bytes.get();
  char text[24];
  EXPECT_EQ(format.WriteCell(text, 0, record, UINT64_MAX, format.ColumnCount()), text);
  EXPECT_EQ(format.WriteMemberCell(text, record, UINT64_MAX, format.ColumnCount()), text);
}

// Only fixed columns are read, none at or after a negative offset: 1 byte stands for 4 GiB.
TEST(RecordTable, RowCountsUpToTheLargestDataUseUnwrappedAddresses) {
  Rows t({{Void, "pad", 1}}, "");
  t.data.bytes = std::make_unique<std::uint8_t[]>(1);
  t.data.byteCount = 0xFFFFFFFFu;
  t.columns.insert(t.columns.end(), {{0, UByte, "a", -1}, {0, UByte, "b", 1}});
  t.table.Refresh(t.data, t.structDef, t.columns, 1);
  ASSERT_EQ(t.table.RowCount(), 4294967295u);
  EXPECT_EQ(t.table.Format().Span(), 0u);
  EXPECT_EQ(t.Row(4294967294u), "|4294967295|FFFFFFFE|||");
  char text[24];
  char* end = t.table.Format().WriteCell(text, 0x1FFFFFFFFFu, nullptr, 0, 0);
  EXPECT_EQ(std::string(text, t.table.Format().WriteCell(end, 0x1FFFFFFFFFu, nullptr, 0, 1)),
            "1374389534721FFFFFFFFF");
  Rows wide({{UByte, "a", 1}, {UByte, "b", 1}, {String, "s", 0}}, "abc");
  const Rows narrow({{UByte, "a", 1}}, "");
  auto shape = [&wide] { return std::pair(wide.table.Format().Span(), wide.table.RowCount()); };
  EXPECT_EQ(shape(), std::pair(std::uint64_t{2}, 2u));
  wide.table.Refresh(narrow.data, narrow.structDef, narrow.columns, 0);  // nothing stays
  EXPECT_EQ(shape(), std::pair(std::uint64_t{1}, 1u));
}
