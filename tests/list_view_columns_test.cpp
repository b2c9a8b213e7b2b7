#include "records/list_view_columns.h"

#include "test_support.h"

using enum TypeCode;

// The widths BuildListColumns gives `r` on `list`, with texts measured 7 per byte or not at all.
static std::vector<int> Widths(const Records& r, MemoryRecordList& list, bool measurable,
                               std::int32_t& lastColumnIndex) {
  list.measure = [measurable](std::string_view text) {
    return measurable ? std::optional<int>(text.size() * 7) : std::nullopt;
  };
  BuildListColumns(r.columns, r.structDef, list, lastColumnIndex, [](auto, auto) {});
  std::vector<int> widths;
  for (const auto& column : list.columns) widths.push_back(column.width);
  return widths;
}

// The wider of header and longest cell of the type (as many characters of "-2147483648" as the
// type table says: "-2147" for No., "-2147483" for Address; a string's count in "W"s, none
// without a member), plus 30, at most 300; a text that cannot be measured counts 30. A rebuild
// makes exactly the new columns.
TEST(ListColumns, WidthIsTheWiderOfHeaderAndSamplePlusPaddingCappedAt300) {
  Records r({{String, "s", 8},
             {UByte, "a", 1},
             {SLong, "h", 1},
             {UByte, "longlabel", 1},
             {String, "z", 0},
             {String, "t", 2000000000}});
  r.columns.insert(r.columns.end(), {{0, Void, "v", 0}, {-1, String, "", 0}});  // Void: no text
  MemoryRecordList list;
  std::int32_t lastColumnIndex = -1;
  EXPECT_EQ(Widths(r, list, true, lastColumnIndex),
            (std::vector<int>{65, 86, 86, 51, 107, 93, 37, 300, 60, 30}));
  EXPECT_EQ(Widths(r, list, false, lastColumnIndex), std::vector<int>(10, 60));
  EXPECT_EQ(lastColumnIndex, 9);
  EXPECT_EQ(list.columnChangesRedrawn, 0);  // changed only while redraw is paused
  EXPECT_FALSE(list.redrawPaused);
}

// At 144 DPI the padding, the cap and an unmeasured text's width grow by half; a measured text
// is in the screen's pixels already.
TEST(ListColumns, DesignPixelsGrowWithTheScreenDpi) {
  Records r({{UByte, "a", 1}, {String, "t", 2000}});
  MemoryRecordList list;
  list.dpi = 144;
  std::int32_t lastColumnIndex = -1;
  EXPECT_EQ(Widths(r, list, true, lastColumnIndex), (std::vector<int>{80, 101, 66, 450}));
  EXPECT_EQ(Widths(r, list, false, lastColumnIndex), std::vector<int>(4, 90));
}
