#include "structdef/record_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "test_support.h"

namespace {

using enum TypeCode;
// Label, member index, display type, offset and byte length of each column.
using Layout =
    std::vector<std::tuple<std::string, std::int32_t, TypeCode, std::int32_t, std::int32_t>>;

Layout Columns(const StructDef& def, const ColumnList& columns) {
  Layout layout;
  for (const ColumnDef& c : columns)
    layout.emplace_back(c.label, c.memberIndex, c.displayType, c.offset, ColumnByteLength(c, def));
  return layout;
}

TEST(RecordLayout, OneColumnPerElementAfterTheTwoFixedOnes) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::vector<MemberDef>, Layout> cases[] = {
      {{}, {}},
      {{{Void, "v", 4}, {Void, "w", 1}}, {}},
      {{{UByte, "a", 1}, {UWord, "b", 3}, {String, "s", 10}, {Void, "pad", 2}, {ULong, "c", 1}},
       {{"a", 0, UByte, 0, 1}, {"b[0]", 1, UWord, 1, 2}, {"b[1]", 1, UWord, 3, 2},
        {"b[2]", 1, UWord, 5, 2}, {"s", 2, String, 7, 10}, {"c", 4, ULong, 19, 4}}},
      {{{SByte, "z", 0}, {SWord, "n", 2}}, {{"n[0]", 1, SWord, 0, 2}, {"n[1]", 1, SWord, 2, 2}}},
      {{{String, "one", 1}, {String, "none", 0}, {XByte, "after", 1}},
       {{"one", 0, String, 0, 1}, {"none", 1, String, 1, 0}, {"after", 2, XByte, 1, 1}}},
      {{{UByte, "a[4]", 1}, {UByte, "a[4]", 1}},
       {{"a[4]", 0, UByte, 0, 1}, {"a[4]", 1, UByte, 1, 1}}},
      // Negative counts take no bytes: offsets never run backwards.
      {{{Void, "v", -8}, {String, "s", -3}, {UWord, "w", -1}, {UByte, "b", 1}},
       {{"s", 1, String, 0, 0}, {"b", 3, UByte, 0, 1}}},
      {{{Void, "v", max - 3}, {UWord, "w", 5}}, {{"w[0]", 1, UWord, max - 3, 2}}},
      {{{XLong, "x", 11}},
       {{"x[0]", 0, XLong, 0, 4}, {"x[1]", 0, XLong, 4, 4}, {"x[2]", 0, XLong, 8, 4},
        {"x[3]", 0, XLong, 12, 4}, {"x[4]", 0, XLong, 16, 4}, {"x[5]", 0, XLong, 20, 4},
        {"x[6]", 0, XLong, 24, 4}, {"x[7]", 0, XLong, 28, 4}, {"x[8]", 0, XLong, 32, 4},
        {"x[9]", 0, XLong, 36, 4}, {"x[10]", 0, XLong, 40, 4}}},
  };
  for (const auto& [members, memberColumns] : cases) {
    const Records r(members);
    ColumnList columns{{7, XWord, "stale", 99}};
    EXPECT_EQ(BuildColumnList(r.structDef, columns), 1);
    Layout expected{{"No.", -1, UWord, 0, 0}, {"Address", -1, XLong, 0, 0}};
    expected.insert(expected.end(), memberColumns.begin(), memberColumns.end());
    EXPECT_EQ(Columns(r.structDef, columns), expected) << members.size();
  }
}

TEST(RecordLayout, ByteLengthFollowsTheDisplayType) {
  Records r({{SWord, "w", 1}, {String, "s", 6}});
  const std::pair<ColumnDef, std::int32_t> cases[] = {
      {{0, XWord, "w", 0}, 2}, {{0, XLong, "w", 0}, 4}, {{0, UByte, "w", 0}, 1},
      {{1, String, "s", 2}, 6}, {{9, String, "orphan", 0}, 0},
      {{0, static_cast<TypeCode>(77), "odd", 0}, 0}};
  for (const auto& [column, length] : cases) {
    EXPECT_EQ(ColumnByteLength(column, r.structDef), length) << column.label;
  }
}

}  // namespace
