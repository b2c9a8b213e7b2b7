#include "e2e_fixture.h"

#include <commctrl.h>

namespace e2e {
namespace {

using WideTest = VelmoraE2eTest;

using Column = std::pair<std::string, int>;  // header text, width

std::vector<Column> ColumnsOf(HWND list) {
  std::vector<Column> columns;
  const std::vector<std::string> labels = ListRowTexts(list, -1);
  for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
    columns.emplace_back(labels[static_cast<std::size_t>(i)],
                         static_cast<int>(Ask(list, LVM_GETCOLUMNWIDTH, i).value_or(-1)));
  }
  return columns;
}

// A column is as wide as its label or its widest cell text, whichever is wider, in the font of
// a device context of the list with nothing selected into it, plus 30, at most 300.
int ExpectedWidth(HWND list, std::string_view label, std::string_view widest) {
  HDC dc = GetDC(list);
  SIZE labelSize{};
  SIZE widestSize{};
  GetTextExtentPoint32A(dc, label.data(), static_cast<int>(label.size()), &labelSize);
  GetTextExtentPoint32A(dc, widest.data(), static_cast<int>(widest.size()), &widestSize);
  ReleaseDC(list, dc);
  return std::min(std::max(labelSize.cx, widestSize.cx) + 30, 300L);
}

// A switch rebuilds the columns on a list that is shown, a start on one that is not yet.
TEST_F(WideTest, SwitchingAwayAndBackShowsTheColumnsOfAFreshStart) {
  WriteStructDef(
      "struct Wide {\r\n  ubyte payload [1000];\r\n  string tag [40];\r\n  sword delta [2];\r\n}\r\n"
      "struct Narrow {\r\n  xlong one;\r\n}\r\n");
  ASSERT_TRUE(Start());
  const auto fresh = ColumnsOf(List());
  ASSERT_EQ(fresh.size(), 1005u);
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
