#include "structdef/record_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "structdef/definition_parser.h"
#include "test_support.h"

namespace {

using enum TypeCode;
// Label, member index, display type, offset and byte length of each member column.
using Layout =
    std::vector<std::tuple<std::string, std::int32_t, TypeCode, std::int32_t, std::int32_t>>;

StructDef Make(std::vector<MemberDef> members) { return Records(std::move(members)).structDef; }

// The member columns, after checking the two fixed ones in front of them.
Layout MemberColumns(const StructDef& def) {
  ColumnList columns{{7, XWord, "stale", 99}};
  EXPECT_EQ(BuildColumnList(def, columns), 1);
  Layout layout;
  for (const ColumnDef& c : columns)
    layout.emplace_back(c.label, c.memberIndex, c.displayType, c.offset, ColumnByteLength(c, def));
  if (layout.size() < 2) return {{"fixed columns missing", 0, Void, 0, 0}};
  EXPECT_EQ(Layout(layout.begin(), layout.begin() + 2),
            (Layout{{"No.", -1, UWord, 0, 0}, {"Address", -1, XLong, 0, 0}}));
  return Layout(layout.begin() + 2, layout.end());
}

}  // namespace

TEST(ColumnListTest, CountsNamesAndHandMadeStructures) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::vector<MemberDef>, Layout> cases[] = {
      {{}, {}},
      {{{Void, "v", 4}, {Void, "w", 1}}, {}},
      {{{SByte, "z", 0}, {SWord, "n", 2}}, {{"n[0]", 1, SWord, 0, 2}, {"n[1]", 1, SWord, 2, 2}}},
      {{{String, "one", 1}, {String, "none", 0}, {XByte, "after", 1}},
       {{"one", 0, String, 0, 1}, {"none", 1, String, 1, 0}, {"after", 2, XByte, 1, 1}}},
      {{{UByte, "a[4]", 1}, {UByte, "a[4]", 1}},
       {{"a[4]", 0, UByte, 0, 1}, {"a[4]", 1, UByte, 1, 1}}},
      // Negative counts take no bytes: offsets never run backwards.
      {{{Void, "v", -8}, {String, "s", -3}, {UWord, "w", -1}, {UByte, "b", 1}},
       {{"s", 1, String, 0, 0}, {"b", 3, UByte, 0, 1}}},
      {{{Void, "v", max - 3}, {UWord, "w", 5}}, {{"w[0]", 1, UWord, max - 3, 2}}},
  };
  for (const auto& [members, layout] : cases) {
    SCOPED_TRACE(members.empty() ? "" : members[0].name);
    const StructDef def = Make(members);
    EXPECT_EQ(MemberColumns(def), layout);
    for (const auto& column : layout) {
      EXPECT_LE(std::int64_t{std::get<3>(column)} + std::get<4>(column), def.recordSize);
    }
  }
  const Layout wide = MemberColumns(Make({{XLong, "x", 12}}));
  ASSERT_EQ(wide.size(), 12u);
  EXPECT_EQ(wide[10], std::make_tuple("x[10]", 0, XLong, 40, 4));

  const StructDef def = Make({{String, "s", 6}});
  EXPECT_EQ(ColumnByteLength({9, String, "orphan", 0}, def), 0);
  EXPECT_EQ(ColumnByteLength({0, static_cast<TypeCode>(77), "odd", 0}, def), 0);
}

TEST(ColumnListTest, TwentyThreeByteExample) {
  StructDef def;
  ASSERT_EQ(LoadStructDefFromBytes("struct Example {\n  ubyte a;\n  uword b [3];\n  string s [10];\n"
                                   "  void pad [2];\n  ulong c;\n}\n",
                                   "Example", def, [](auto, auto) { FAIL(); }),
            0);
  EXPECT_EQ(def.recordSize, 23);
  EXPECT_EQ(MemberColumns(def), (Layout{{"a", 0, UByte, 0, 1}, {"b[0]", 1, UWord, 1, 2},
                                        {"b[1]", 1, UWord, 3, 2}, {"b[2]", 1, UWord, 5, 2},
                                        {"s", 2, String, 7, 10}, {"c", 4, ULong, 19, 4}}));
}

TEST(ColumnListTest, ByteLengthFollowsDisplayTypeUntilARebuild) {
  StructDef def = Make({{SWord, "w", 1}, {String, "s", 6}});
  ColumnList columns;
  BuildColumnList(def, columns);
  columns[2].displayType = XWord;
  EXPECT_EQ(ColumnByteLength(columns[2], def), 2);
  columns[2].displayType = XLong;
  EXPECT_EQ(ColumnByteLength(columns[2], def), 4);
  BuildColumnList(def, columns);
  EXPECT_EQ(columns[2].displayType, SWord);
}
