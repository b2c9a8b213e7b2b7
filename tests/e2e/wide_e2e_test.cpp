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

// `wider`, of the label and the widest cell text, in the font of a device context of the list
// with nothing selected into it, plus 30, at most 300.
static LRESULT ExpectedWidth(HWND list, const std::string& wider) {
  HDC dc = GetDC(list);
  SIZE size{};
  GetTextExtentPoint32A(dc, wider.c_str(), static_cast<int>(wider.size()), &size);
  ReleaseDC(list, dc);
  return std::min(size.cx + 30, 300L);
}

// A switch rebuilds the columns on a list that is shown, a start on one that is not yet.
TEST_F(VelmoraE2eTest, WideStructureSwitchedAwayAndBackShowsTheColumnsOfAFreshStart) {
  WriteBytes(dir_.File("struct.def"),
             "struct Wide {\r\n  ubyte payload [1000];\r\n"
             "  string tag [40];\r\n}\r\nstruct Narrow {\r\n  xlong one;\r\n}\r\n");
  ASSERT_TRUE(Launch() && Shown());
  const auto fresh = ColumnsOf(List());
  EXPECT_EQ(fresh.at(1001), Column("payload[999]", ExpectedWidth(List(), "payload[999]")));
  EXPECT_EQ(fresh.at(1002), Column("tag", ExpectedWidth(List(), std::string(40, 'W'))));
  ASSERT_TRUE(SelectStructure(1));
  EXPECT_THAT(Row(-1), ElementsAre("No.", "Address", "one"));
  ASSERT_TRUE(SelectStructure(0));
  EXPECT_EQ(ColumnsOf(List()), fresh);
}

}  // namespace e2e
