#include "records/list_view_columns.h"

#include <gtest/gtest.h>

#include <map>

#include "test_support.h"

namespace {

using enum TypeCode;

struct Build : Records {
  explicit Build(std::vector<MemberDef> members) : Records(std::move(members)) {}
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

// The wider of header and sample, plus 30, at most 300; a text that cannot be measured is 30.
// No. 35+30, Address 56+30, a 18+30, longlabel 100+30, big capped, s0 label 12+30, unmeasured
// label (30) against "-2" 12: 30+30.
TEST(ListColumns, WidthIsTheWiderOfHeaderAndSamplePlusPaddingCappedAt300) {
  const std::map<std::string, int> widths = {
      {"No.", 20}, {"Address", 50}, {"-2147", 35}, {"-2147483", 56}, {"a", 10}, {"-21", 18},
      {"longlabel", 100}, {"big", 290}, {"s0", 12}, {"", 0}, {"-2", 12}};
  Build b({{UByte, "a", 1}, {UByte, "longlabel", 1}, {UByte, "big", 1}, {String, "s0", 0},
           {XByte, "unmeasured", 1}});
  b.list.measure = [&](std::string_view text) -> std::optional<int> {
    auto found = widths.find(std::string(text));
    return found == widths.end() ? std::nullopt : std::optional<int>(found->second);
  };
  EXPECT_EQ(b.Run(), (std::vector<int>{65, 86, 48, 130, 300, 42, 60}));
  b.list.measure = [](std::string_view) { return std::nullopt; };
  EXPECT_EQ(b.Run(), std::vector<int>(7, 60));  // rebuilt: exactly the new columns
  EXPECT_EQ(b.lastColumnIndex, 6);
  EXPECT_EQ(Build({{String, "s", 2000000000}}).Run(), (std::vector<int>{70, 94, 300}));
}

TEST(ListColumns, SampleWidthsMeasureTheLongestCellOfEachType) {
  MemoryRecordList list;
  list.measure = [&](std::string_view text) { return std::optional<int>(text.size() * 7 + 1); };
  const std::pair<TypeCode, int> cases[] = {{UByte, 22}, {SByte, 29}, {XByte, 15}, {UWord, 36},
      {SWord, 43}, {XWord, 29}, {ULong, 71}, {SLong, 78}, {XLong, 57}, {Void, 30}, {String, 30},
      {static_cast<TypeCode>(11), 30}};
  for (const auto& [type, width] : cases) EXPECT_EQ(MeasureTypeSampleWidth(type, list), width);
  // A huge count measures a bounded sample that still reaches the cap.
  for (auto [count, low, high] : {std::tuple{0, 1, 1}, {64, 449, 449}, {2000000000, 270, 2101}})
    EXPECT_TRUE(MeasureStringSampleWidth(count, list) >= low &&
                MeasureStringSampleWidth(count, list) <= high) << count;
}

// A list that cannot be emptied keeps its columns and reports; redraw pauses either way.
TEST(ListColumns, ARebuildChangesColumnsOnlyWhileRedrawIsPausedAndResumesIt) {
  for (bool refused : {false, true}) {
    Build b({{UByte, "a", 1}});
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

}  // namespace
