#include "e2e_fixture.h"

#include <commctrl.h>

namespace e2e {
namespace {

using WideTest = VelmoraE2eTest;

using Column = std::pair<std::string, int>;  // header text, width

std::vector<Column> ColumnsOf(HWND list) {
  std::vector<Column> columns;
  for (const std::string& label : ListRowTexts(list, -1)) {
    const auto width = Ask(list, LVM_GETCOLUMNWIDTH, columns.size());
    columns.emplace_back(label, static_cast<int>(width.value_or(-1)));
  }
  return columns;
}

// A column is as wide as its label or its widest cell text, whichever is wider, in the font of
// a device context of the list with nothing selected into it, plus 30, at most 300.
int ExpectedWidth(HWND list, std::string_view label, std::string_view widest) {
  HDC dc = GetDC(list);
  SIZE size{};
  LONG width = 0;
  for (std::string_view text : {label, widest}) {
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    width = std::max(width, size.cx);
  }
  ReleaseDC(list, dc);
  return std::min(width + 30, 300L);
}

// A switch rebuilds the columns on a list that is shown, a start on one that is not yet.
TEST_F(WideTest, SwitchingAwayAndBackShowsTheColumnsOfAFreshStart) {
  WriteStructDef(
      "struct Wide {\r\n  ubyte payload [1000];\r\n  string tag [40];\r\n}\r\n"
      "struct Narrow {\r\n  xlong one;\r\n}\r\n");
  ASSERT_TRUE(Start());
  const auto fresh = ColumnsOf(List());
  ASSERT_EQ(fresh.size(), 1003u);
  EXPECT_EQ(fresh[1001], Column("payload[999]", ExpectedWidth(List(), "payload[999]", "-21")));
  EXPECT_EQ(fresh[1002], Column("tag", ExpectedWidth(List(), "tag", std::string(40, 'W'))));

  ASSERT_TRUE(SelectStructure(1));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "one"));
  ASSERT_TRUE(SelectStructure(0));
  EXPECT_EQ(ColumnsOf(List()), fresh);
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
