#include "structdef/column_list.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Expected {
  const char* label;
  std::int32_t memberIndex;
  TypeCode type;
  std::int32_t offset;
  std::int32_t length;
};

void ExpectColumns(const StructDef& def, const std::vector<Expected>& expected) {
  ColumnList columns{{7, TypeCode::XWord, "stale", 99}};
  EXPECT_EQ(BuildColumnList(def, columns), 1);
  ASSERT_EQ(columns.size(), expected.size() + 2);
  EXPECT_EQ(columns[0].label, "No.");
  EXPECT_EQ(columns[0].memberIndex, -1);
  EXPECT_EQ(columns[0].displayType, TypeCode::UWord);
  EXPECT_EQ(columns[0].offset, 0);
  EXPECT_EQ(columns[1].label, "Address");
  EXPECT_EQ(columns[1].memberIndex, -1);
  EXPECT_EQ(columns[1].displayType, TypeCode::XLong);
  EXPECT_EQ(ColumnByteLength(columns[0], def), 0);
  EXPECT_EQ(ColumnByteLength(columns[1], def), 0);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ColumnDef& column = columns[i + 2];
    SCOPED_TRACE(expected[i].label);
    EXPECT_EQ(column.label, expected[i].label);
    EXPECT_EQ(column.memberIndex, expected[i].memberIndex);
    EXPECT_EQ(column.displayType, expected[i].type);
    EXPECT_EQ(column.offset, expected[i].offset);
    EXPECT_EQ(ColumnByteLength(column, def), expected[i].length);
  }
}

StructDef Make(std::vector<MemberDef> members) {
  StructDef def;
  def.members = std::move(members);
  def.recordSize = ComputeRecordSize(def.members);
  return def;
}

}  // namespace

TEST(ColumnListTest, TwentyThreeByteExampleUnrollsArraysAndSkipsVoid) {
  StructDef def = Make({{TypeCode::UByte, "a", 1},
                        {TypeCode::UWord, "b", 3},
                        {TypeCode::String, "s", 10},
                        {TypeCode::Void, "pad", 2},
                        {TypeCode::ULong, "c", 1}});
  EXPECT_EQ(def.recordSize, 23);
  ExpectColumns(def, {{"a", 0, TypeCode::UByte, 0, 1},
                      {"b[0]", 1, TypeCode::UWord, 1, 2},
                      {"b[1]", 1, TypeCode::UWord, 3, 2},
                      {"b[2]", 1, TypeCode::UWord, 5, 2},
                      {"s", 2, TypeCode::String, 7, 10},
                      {"c", 4, TypeCode::ULong, 19, 4}});
}

TEST(ColumnListTest, CountsAndNamesEdges) {
  ExpectColumns(Make({}), {});
  ExpectColumns(Make({{TypeCode::Void, "v", 4}, {TypeCode::Void, "w", 1}}), {});
  ExpectColumns(Make({{TypeCode::SByte, "z", 0}, {TypeCode::SWord, "n", 2}}),
                {{"n[0]", 1, TypeCode::SWord, 0, 2}, {"n[1]", 1, TypeCode::SWord, 2, 2}});
  ExpectColumns(Make({{TypeCode::String, "one", 1}, {TypeCode::String, "none", 0},
                      {TypeCode::XByte, "after", 1}}),
                {{"one", 0, TypeCode::String, 0, 1},
                 {"none", 1, TypeCode::String, 1, 0},
                 {"after", 2, TypeCode::XByte, 1, 1}});
  ExpectColumns(Make({{TypeCode::UByte, "a[4]", 1}, {TypeCode::UByte, "a[4]", 1}}),
                {{"a[4]", 0, TypeCode::UByte, 0, 1}, {"a[4]", 1, TypeCode::UByte, 1, 1}});

  StructDef wide = Make({{TypeCode::XLong, "x", 12}});
  ColumnList columns;
  BuildColumnList(wide, columns);
  ASSERT_EQ(columns.size(), 14u);
  EXPECT_EQ(columns[11].label, "x[9]");
  EXPECT_EQ(columns[12].label, "x[10]");
  EXPECT_EQ(columns[13].offset, 44);
}

TEST(ColumnListTest, HandMadeStructuresNeverAddressOutsideTheRecord) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  // Negative counts take no bytes: offsets never run backwards.
  StructDef negative = Make({{TypeCode::Void, "v", -8}, {TypeCode::String, "s", -3},
                             {TypeCode::UWord, "w", -1}, {TypeCode::UByte, "b", 1}});
  ExpectColumns(negative, {{"s", 1, TypeCode::String, 0, 0}, {"b", 3, TypeCode::UByte, 0, 1}});
  EXPECT_EQ(negative.recordSize, 1);

  StructDef huge = Make({{TypeCode::Void, "v", max - 3}, {TypeCode::UWord, "w", 5}});
  ColumnList columns;
  BuildColumnList(huge, columns);
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[2].offset, max - 3);
  for (const ColumnDef& column : columns) {
    EXPECT_LE(std::int64_t{column.offset} + ColumnByteLength(column, huge), huge.recordSize);
  }

  ColumnDef orphan{9, TypeCode::String, "s", 0};
  EXPECT_EQ(ColumnByteLength(orphan, huge), 0);
  ColumnDef odd{0, static_cast<TypeCode>(77), "o", 0};
  EXPECT_EQ(ColumnByteLength(odd, huge), 0);
}

TEST(ColumnListTest, ByteLengthFollowsDisplayTypeWidth) {
  StructDef def = Make({{TypeCode::SWord, "w", 1}, {TypeCode::String, "s", 6}});
  ColumnList columns;
  BuildColumnList(def, columns);
  columns[2].displayType = TypeCode::XWord;
  EXPECT_EQ(ColumnByteLength(columns[2], def), 2);
  EXPECT_EQ(ColumnByteLength(columns[3], def), 6);
  // A rebuild forgets display type changes.
  BuildColumnList(def, columns);
  EXPECT_EQ(columns[2].displayType, TypeCode::SWord);
}
