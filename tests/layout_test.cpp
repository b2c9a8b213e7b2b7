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

}  // namespace
