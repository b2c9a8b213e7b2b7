#include "structdef/record_layout.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using enum TypeCode;
// Label, member index, display type, offset and byte length of each column.
using Layout =
    std::vector<std::tuple<std::string, std::int32_t, TypeCode, std::int32_t, std::int32_t>>;

TEST(RecordLayout, OneColumnPerElementAfterTheTwoFixedOnes) {
  const std::int32_t max = 2147483647;
  const std::pair<std::vector<MemberDef>, Layout> cases[] = {
      {{}, {}}, {{{Void, "v", 4}, {Void, "w", 1}}, {}},
      {{{UByte, "a", 1}, {UWord, "b", 2}, {String, "s", 10}, {Void, "pad", 2}, {ULong, "c", 1}},
       {{"a", 0, UByte, 0, 1}, {"b[0]", 1, UWord, 1, 2}, {"b[1]", 1, UWord, 3, 2},
        {"s", 2, String, 5, 10}, {"c", 4, ULong, 17, 4}}},
      {{{SByte, "z", 0}, {String, "none", 0}, {UByte, "a[4]", 1}, {UByte, "a[4]", 1}},
       {{"none", 1, String, 0, 0}, {"a[4]", 2, UByte, 0, 1}, {"a[4]", 3, UByte, 1, 1}}},
      // Negative counts take no bytes: offsets never run backwards.
      {{{Void, "v", -8}, {String, "s", -3}, {UWord, "w", -1}, {UByte, "b", 1}},
       {{"s", 1, String, 0, 0}, {"b", 3, UByte, 0, 1}}},
      {{{Void, "v", max - 3}, {UWord, "w", 5}}, {{"w[0]", 1, UWord, max - 3, 2}}},
      {{{Void, "v", 2}, {XLong, "x", 11}},
       {{"x[0]", 1, XLong, 2, 4}, {"x[1]", 1, XLong, 6, 4}, {"x[2]", 1, XLong, 10, 4},
        {"x[3]", 1, XLong, 14, 4}, {"x[4]", 1, XLong, 18, 4}, {"x[5]", 1, XLong, 22, 4},
        {"x[6]", 1, XLong, 26, 4}, {"x[7]", 1, XLong, 30, 4}, {"x[8]", 1, XLong, 34, 4},
        {"x[9]", 1, XLong, 38, 4}, {"x[10]", 1, XLong, 42, 4}}}};
  for (const auto& [members, memberColumns] : cases) {
    const Records r(members);
    ColumnList columns{{7, XWord, "stale", 99}};
    EXPECT_EQ(BuildColumnList(r.structDef, columns), 1);
    Layout layout, expected{{"No.", -1, UWord, 0, 0}, {"Address", -1, XLong, 0, 0}};
    expected.insert(expected.end(), memberColumns.begin(), memberColumns.end());
    for (const ColumnDef& c : columns) {
      const std::int32_t length = ColumnByteLength(c, r.structDef);
      layout.emplace_back(c.label, c.memberIndex, c.displayType, c.offset, length);
    }
    EXPECT_EQ(layout, expected) << members.size();
  }
  // The byte length follows the display type; a column of no member or of no type has none.
  Records r({{SWord, "w", 1}, {String, "s", 6}});
  const std::pair<ColumnDef, std::int32_t> lengths[] = {{{0, XLong, "w", 0}, 4},
      {{0, UByte, "w", 0}, 1}, {{1, String, "s", 2}, 6}, {{9, String, "orphan", 0}, 0},
      {{0, static_cast<TypeCode>(77), "odd", 0}, 0}};
  for (const auto& [column, length] : lengths) {
    EXPECT_EQ(ColumnByteLength(column, r.structDef), length) << column.label;
  }
}

}  // namespace
