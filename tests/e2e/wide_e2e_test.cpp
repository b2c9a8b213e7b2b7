#include "e2e_fixture.h"

namespace e2e {

using Column = std::pair<std::string, LRESULT>;  // header text, width

static std::vector<Column> ColumnsOf(HWND list) {
  std::vector<Column> columns;
  for (const std::string& label : ListRowTexts(list, -1)) {
    columns.emplace_back(label, Ask(list, LVM_GETCOLUMNWIDTH, columns.size()).value_or(-1));
  }
  return columns;
}

// `wider`, of the label and the widest cell text, as the list measures it, plus 30, at most 300.
static LRESULT ExpectedWidth(const std::string& wider) {
  return std::min(TextExtent(wider, nullptr).cx + 30, 300L);
}

// A switch rebuilds the columns on a list that is shown, a start on one that is not yet.
TEST_F(VelmoraE2eTest, WideStructureSwitchedAwayAndBackShowsTheColumnsOfAFreshStart) {
  WriteBytes(dir_.File("struct.def"),
             "struct Wide {\r\n  ubyte payload [1000];\r\n"
             "  string tag [40];\r\n}\r\nstruct Narrow {\r\n  xlong one;\r\n}\r\n");
  ASSERT_TRUE(Launch() && Shown());
  const auto fresh = ColumnsOf(List());
  EXPECT_EQ(fresh.at(1001), Column("payload[999]", ExpectedWidth("payload[999]")));
  EXPECT_EQ(fresh.at(1002), Column("tag", ExpectedWidth(std::string(40, 'W'))));
  ASSERT_TRUE(SelectStructure(1) && SelectStructure(0));
  EXPECT_EQ(ColumnsOf(List()), fresh);
}

}  // namespace e2e
