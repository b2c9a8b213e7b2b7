#include "structdef/record_layout.h"

#include "test_support.h"

using enum TypeCode;

// Label, member index, display type, offset and byte length of each column; negative counts
// take no bytes. The byte length follows the display type; no member or type, no bytes.
TEST(RecordLayout, OneColumnPerElementAfterTheTwoFixedOnes) {
  using Layout = std::vector<std::tuple<std::string, int, TypeCode, int, int>>;
  const std::pair<std::vector<MemberDef>, Layout> cases[] = {
      {{}, {}},
      {{{Void, "v", 4}, {Void, "w", 1}}, {}},
      {{{UByte, "a", 1},
        {UWord, "b", 2},
        {String, "s", 10},
        {Void, "pad", 2},
        {ULong, "c", 1},
        {SByte, "z", 0},
        {String, "none", 0},
        {UByte, "a[4]", 1}},
       {{"a", 0, UByte, 0, 1},
        {"b[0]", 1, UWord, 1, 2},
        {"b[1]", 1, UWord, 3, 2},
        {"s", 2, String, 5, 10},
        {"c", 4, ULong, 17, 4},
        {"none", 6, String, 21, 0},
        {"a[4]", 7, UByte, 21, 1}}},
      {{{Void, "v", -8}, {String, "s", -3}, {UWord, "w", -1}, {UByte, "b", 1}},
       {{"s", 1, String, 0, 0}, {"b", 3, UByte, 0, 1}}},
      // Fields end at 2^31 - 1 at the latest.
      {{{Void, "v", 2147483643}, {UWord, "w", 5}},
       {{"w[0]", 1, UWord, 2147483643, 2}, {"w[1]", 1, UWord, 2147483645, 2}}},
      {{{Void, "v", 2147483640}, {String, "s", 7}, {String, "t", 1}},
       {{"s", 1, String, 2147483640, 7}}}};
  for (const auto& [members, memberColumns] : cases) {
    const Records r(members);
    ColumnList columns{{7, XWord, "stale", 99}};
    EXPECT_EQ(BuildColumnList(r.structDef, columns), 1);
    Layout expected{{"No.", -1, UWord, 0, 0}, {"Address", -1, XLong, 0, 0}};
    expected.insert(expected.end(), memberColumns.begin(), memberColumns.end());
    Layout layout;
    for (const ColumnDef& c : columns) {
      const std::int32_t length = ColumnByteLength(c, r.structDef);
      layout.emplace_back(c.label, c.memberIndex, c.displayType, c.offset, length);
    }
    EXPECT_EQ(layout, expected) << members.size();
  }
  const Records r({{SWord, "w", 1}, {String, "s", 1}, {XLong, "x", 11}});
  EXPECT_EQ(r.columns.back().label + " " + std::to_string(r.columns.back().offset), "x[10] 43");
  for (auto [member, type, length] : {std::tuple{0, XLong, 4},
                                      {0, UByte, 1},
                                      {1, String, 1},
                                      {9, String, 0},
                                      {0, Void, 0},
                                      {0, TypeCode(77), 0}}) {
    EXPECT_EQ(ColumnByteLength({member, type, "", 0}, r.structDef), length) << member;
  }
}
