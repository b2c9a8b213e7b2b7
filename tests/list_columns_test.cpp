#include "records/list_columns.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/memory_user_interface.h"

namespace {

struct Build {
  StructDef structDef;
  ColumnList columns;
  MemoryRecordList list;
  std::int32_t lastColumnIndex = -1;
  std::vector<MessageRecord> messages;

  explicit Build(std::vector<MemberDef> members) {
    structDef.members = std::move(members);
    structDef.recordSize = ComputeRecordSize(structDef.members);
    BuildColumnList(structDef, columns);
  }
  void Run() {
    BuildListColumns(columns, structDef, list, lastColumnIndex,
                     [this](std::string_view text, std::string_view caption) {
                       messages.push_back({std::string(text), std::string(caption)});
                     });
  }
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (const auto& column : list.columns) widths.push_back(column.width);
    return widths;
  }
};

TEST(ListColumns, WidthIsTheWiderOfHeaderAndSamplePlusPaddingCappedAt300) {
  // Fixed widths per text; anything else fails to measure.
  std::map<std::string, int> widths = {
      {"No.", 20}, {"Address", 50}, {"-2147", 35}, {"-2147483", 56}, {"a", 10}, {"-21", 18},
      {"longlabel", 100}, {"big", 290}, {"s0", 12}, {"", 0}, {"-2", 12}};
  Build b({{TypeCode::UByte, "a", 1}, {TypeCode::UByte, "longlabel", 1}, {TypeCode::UByte, "big", 1},
           {TypeCode::String, "s0", 0}, {TypeCode::XByte, "unmeasured", 1}});
  b.list.measure = [&](std::string_view text) -> std::optional<int> {
    auto found = widths.find(std::string(text));
    if (found == widths.end()) return std::nullopt;
    return found->second;
  };
  b.Run();
  // No. 35+30, Address 56+30, a 18+30, longlabel 100+30, big capped, s0 label 12+30,
  // unmeasured label fails (30) against "-2" 12: 30+30.
  EXPECT_EQ(b.Widths(), (std::vector<int>{65, 86, 48, 130, 300, 42, 60}));
  EXPECT_EQ(b.list.columns[6].label, "unmeasured");

  b.list.measure = [](std::string_view) { return std::nullopt; };
  b.Run();
  EXPECT_EQ(b.Widths(), std::vector<int>(7, 60));
}

TEST(ListColumns, SampleWidthsMeasureTheLongestCellOfEachType) {
  MemoryRecordList list;
  std::vector<std::string> asked;
  list.measure = [&](std::string_view text) -> std::optional<int> {
    asked.emplace_back(text);
    return static_cast<int>(text.size()) * 7;
  };
  const std::vector<std::pair<TypeCode, int>> measured = {
      {TypeCode::UByte, 3}, {TypeCode::SByte, 4}, {TypeCode::XByte, 2},  {TypeCode::UWord, 5},
      {TypeCode::SWord, 6}, {TypeCode::XWord, 4}, {TypeCode::ULong, 10}, {TypeCode::SLong, 11},
      {TypeCode::XLong, 8}};
  for (auto [type, characters] : measured) {
    EXPECT_EQ(MeasureTypeSampleWidth(type, list), characters * 7);
    EXPECT_EQ(asked.back(), std::string("-2147483648").substr(0, characters));
  }
  asked.clear();
  for (TypeCode type : {TypeCode::Void, TypeCode::String, static_cast<TypeCode>(11),
                        static_cast<TypeCode>(-1)}) {
    EXPECT_EQ(MeasureTypeSampleWidth(type, list), 30);
  }
  EXPECT_TRUE(asked.empty());

  EXPECT_EQ(MeasureStringSampleWidth(0, list), 0);
  EXPECT_EQ(asked.back(), "");
  EXPECT_EQ(MeasureStringSampleWidth(64, list), 64 * 7);
  EXPECT_EQ(asked.back(), std::string(64, 'W'));
  // A huge count measures a bounded sample that still reaches the cap.
  EXPECT_GE(MeasureStringSampleWidth(2000000000, list), 270);
  EXPECT_LE(asked.back().size(), 300u);
}

TEST(ListColumns, StringColumnOfAHugeCountIsCapped) {
  Build b({{TypeCode::String, "s", 2000000000}});
  b.Run();
  EXPECT_EQ(b.Widths(), (std::vector<int>{70, 94, 300}));
}

TEST(ListColumns, RebuildingLeavesExactlyTheNewColumns) {
  Build b({{TypeCode::UByte, "a", 1}, {TypeCode::UWord, "w", 2}});
  b.Run();
  b.Run();
  ASSERT_EQ(b.list.columns.size(), 5u);
  EXPECT_EQ(b.lastColumnIndex, 4);
  std::vector<std::string> labels;
  for (const auto& column : b.list.columns) labels.push_back(column.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"No.", "Address", "a", "w[0]", "w[1]"}));
  EXPECT_TRUE(b.messages.empty());

  Build bare({});
  bare.Run();
  EXPECT_EQ(bare.list.columns.size(), 2u);
  EXPECT_EQ(bare.lastColumnIndex, 1);
}

TEST(ListColumns, AListThatCannotBeEmptiedKeepsItsColumnsAndReports) {
  Build b({{TypeCode::UByte, "a", 1}});
  b.Run();
  b.list.refuseDeleteAllItems = true;
  b.Run();
  ASSERT_EQ(b.messages.size(), 1u);
  EXPECT_EQ(b.messages[0].text,
            "テーブルを初期化できませんでした。\r\nプログラムを終了してください。");
  EXPECT_EQ(b.messages[0].caption, "Fatal Error");
  EXPECT_EQ(b.list.columns.size(), 6u);
  EXPECT_EQ(b.lastColumnIndex, 5);
  EXPECT_EQ(b.list.columns[3].label, "No.");
}

}  // namespace
