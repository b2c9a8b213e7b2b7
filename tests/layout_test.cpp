#include "app/layout.h"

#include "test_support.h"

namespace {

// The design numbers scale; the client size, already in the screen's pixels, does not.
TEST(Layout, ListAndStatusLineScaleAndFollowTheClientArea) {
  const MainWindowLayout layout = LayoutMainWindow(1200, 900, [](int value) { return 2 * value; });
  const auto [list, status] = std::pair{layout.recordList, layout.statusLine};
  EXPECT_EQ((std::array{list.x, list.y, list.width, list.height}), (std::array{0, 120, 1200, 700}));
  EXPECT_EQ((std::array{status.x, status.y, status.width, status.height}),
            (std::array{0, 830, 1200, 60}));
}

// The top row reads left to right on one line: each label before the control it names, each
// control placed and clear of the next.
TEST(Layout, TheTopRowRunsLeftToRightWithoutOverlap) {
  const MainWindowLayout layout = LayoutMainWindow(1200, 900, [](int value) { return value; });
  const auto label = [](LabelPoint at) { return ControlRect{at.x, at.y, 1, 1}; };
  const std::array row = {
      label(layout.selectorLabel), layout.structSelector, label(layout.pathLabel), layout.pathField,
      layout.browseButton,         layout.readButton,     layout.writeButton};
  for (std::size_t i = 1; i < row.size(); ++i) {
    EXPECT_GT(row[i].width, 0) << i;
    EXPECT_LE(row[i - 1].x + row[i - 1].width, row[i].x) << i;
    EXPECT_EQ(row[i].y, row[0].y) << i;
  }
  // The field and its buttons stand as high as each other (the selector's height is its list's).
  for (const ControlRect& button : {layout.browseButton, layout.readButton, layout.writeButton}) {
    EXPECT_EQ(button.height, layout.pathField.height);
  }
}

}  // namespace
