#include "records/list_view_columns.h"

#include <gtest/gtest.h>

#include "test_support.h"

using enum TypeCode;

struct ColumnBuild : Records {
  explicit ColumnBuild(std::vector<MemberDef> members) : Records(std::move(members)) {}
  std::vector<int> Run() {
    BuildListColumns(columns, structDef, list, lastColumnIndex, [this](auto text, auto caption) {
      messages.push_back({std::string(text), std::string(caption)});
    });
    std::vector<int> widths;
    for (const auto& column : list.columns) widths.push_back(column.width);
    return widths;
  }
  MemoryRecordList list;
  std::int32_t lastColumnIndex = -1;
  std::vector<MessageRecord> messages;
};

// The wider of header and longest cell of the type ("-2147" for No., "-2147483" for Address,
// the width of a string's count in "W"s), plus 30, at most 300; a text that cannot be measured
// counts 30. Texts measure 7 per byte here.
TEST(ListColumns, WidthIsTheWiderOfHeaderAndSamplePlusPaddingCappedAt300) {
  ColumnBuild b({{UByte, "a", 1}, {SByte, "b", 1}, {XByte, "c", 1}, {UWord, "d", 1},
                 {SWord, "e", 1}, {XWord, "f", 1}, {ULong, "g", 1}, {SLong, "h", 1},
                 {XLong, "i", 1}, {String, "s", 8}, {UByte, "longlabel", 1}, {String, "z", 0},
                 {String, "t", 2000000000}});
  b.list.measure = [](std::string_view text) { return std::optional<int>(text.size() * 7); };
  EXPECT_EQ(b.Run(),
            (std::vector<int>{65, 86, 51, 58, 44, 65, 72, 58, 100, 107, 86, 86, 93, 37, 300}));
  b.list.measure = [](std::string_view) { return std::nullopt; };
  EXPECT_EQ(b.Run(), std::vector<int>(15, 60));  // rebuilt: exactly the new columns
  EXPECT_EQ(b.lastColumnIndex, 14);
}

// A list that cannot be emptied keeps its columns and reports; redraw pauses either way.
TEST(ListColumns, ARebuildChangesColumnsOnlyWhileRedrawIsPausedAndResumesIt) {
  for (bool refused : {false, true}) {
    ColumnBuild b({{UByte, "a", 1}});
    b.Run();
    b.list.refuseDeleteAllItems = refused;
    b.Run();
    EXPECT_EQ(b.list.columnChangesRedrawn, 0);
    EXPECT_EQ(b.list.redrawPauses, 2);
    EXPECT_FALSE(b.list.redrawPaused);
    EXPECT_EQ(b.list.columns.size(), refused ? 6u : 3u);
    EXPECT_EQ(b.lastColumnIndex, refused ? 5 : 2);
    EXPECT_EQ(b.list.columns[refused ? 3 : 0].label, "No.");
    EXPECT_EQ(b.messages, refused ? (std::vector<MessageRecord>{{"テーブルを初期化できませんでした。"
                                    "\r\nプログラムを終了してください。", "Fatal Error"}})
                                  : std::vector<MessageRecord>{});
  }
}

