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

TEST(ListColumns, WidthIsTheWiderOfHeaderAndSamplePlusPaddingCappedAt300) {
  // Fixed widths per text; anything else fails to measure (30).
  const std::map<std::string, int> widths = {
      {"No.", 20}, {"Address", 50}, {"-2147", 35}, {"-2147483", 56}, {"a", 10}, {"-21", 18},
      {"longlabel", 100}, {"big", 290}, {"s0", 12}, {"", 0}, {"-2", 12}};
  Build b({{UByte, "a", 1}, {UByte, "longlabel", 1}, {UByte, "big", 1}, {String, "s0", 0},
           {XByte, "unmeasured", 1}});
  b.list.measure = [&](std::string_view text) -> std::optional<int> {
    auto found = widths.find(std::string(text));
    return found == widths.end() ? std::nullopt : std::optional<int>(found->second);
  };
  // No. 35+30, Address 56+30, a 18+30, longlabel 100+30, big capped, s0 label 12+30,
  // unmeasured label (30) against "-2" 12: 30+30.
  EXPECT_EQ(b.Run(), (std::vector<int>{65, 86, 48, 130, 300, 42, 60}));
  b.list.measure = [](std::string_view) { return std::nullopt; };
  EXPECT_EQ(b.Run(), std::vector<int>(7, 60));  // rebuilt: exactly the new columns
  EXPECT_EQ(b.lastColumnIndex, 6);
  EXPECT_EQ(Build({{String, "s", 2000000000}}).Run(), (std::vector<int>{70, 94, 300}));
}

TEST(ListColumns, SampleWidthsMeasureTheLongestCellOfEachType) {
  MemoryRecordList list;
  std::string asked;
  list.measure = [&](std::string_view text) -> std::optional<int> {
    asked = text;
    return static_cast<int>(text.size()) * 7;
  };
  const std::tuple<TypeCode, int, std::string> cases[] = {
      {UByte, 21, "-21"}, {SByte, 28, "-214"}, {XByte, 14, "-2"}, {UWord, 35, "-2147"},
      {SWord, 42, "-21474"}, {XWord, 28, "-214"}, {ULong, 70, "-214748364"},
      {SLong, 77, "-2147483648"}, {XLong, 56, "-2147483"}, {Void, 30, "-"}, {String, 30, "-"},
      {static_cast<TypeCode>(11), 30, "-"}};
  for (const auto& [type, width, text] : cases) {
    asked = "-";
    EXPECT_EQ(MeasureTypeSampleWidth(type, list), width) << TypeName(type);
    EXPECT_EQ(asked, text);
  }
  EXPECT_EQ(MeasureStringSampleWidth(0, list), 0);
  EXPECT_EQ(MeasureStringSampleWidth(64, list), 64 * 7);
  EXPECT_EQ(asked, std::string(64, 'W'));
  // A huge count measures a bounded sample that still reaches the cap.
  EXPECT_GE(MeasureStringSampleWidth(2000000000, list), 270);
  EXPECT_LE(asked.size(), 300u);
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
