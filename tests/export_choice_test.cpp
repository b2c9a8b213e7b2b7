#include "dialogs/export_choice.h"

#include <gtest/gtest.h>

#include "app/layout.h"

namespace {

AppState WithColumns(int memberCount, std::int32_t lastColumnIndex) {
  AppState state;
  for (int i = 0; i < memberCount; ++i)
    state.structDef.members.push_back({TypeCode::UByte, "m" + std::to_string(i), 1});
  BuildColumnList(state.structDef, state.columns);
  state.lastColumnIndex = lastColumnIndex;
  return state;
}

TEST(ExportChoice, OffersAndStoresTheListedColumnsButNeverPastTheColumnList) {
  using Labels = std::vector<std::string>;
  EXPECT_EQ(ExportColumnLabels(WithColumns(2, 3)), (Labels{"No.", "Address", "m0", "m1"}));
  EXPECT_EQ(ExportColumnLabels(WithColumns(2, 1)), (Labels{"No.", "Address"}));
  EXPECT_EQ(ExportColumnLabels(WithColumns(2, -1)), Labels{});
  // After a failed table initialisation the list has more columns than the ColumnList.
  EXPECT_EQ(ExportColumnLabels(WithColumns(1, 9)), (Labels{"No.", "Address", "m0"}));

  AppState state = WithColumns(3, 4);
  AcceptExportChoice(state, "out.csv", [](std::int32_t item) { return item != 1 && item != 3; });
  EXPECT_EQ(state.csvPath, "out.csv");
  EXPECT_EQ(state.csvSelection, (std::vector<std::int32_t>{0, 2, 4}));
  AcceptExportChoice(state, "", [](std::int32_t) { return false; });
  EXPECT_TRUE(state.csvPath.empty() && state.csvSelection.empty());
  std::vector<std::int32_t> asked;
  AppState stale = WithColumns(0, 6);
  AcceptExportChoice(stale, std::string(2000, 'p'), [&](std::int32_t item) {
    asked.push_back(item);
    return true;
  });
  EXPECT_EQ(stale.csvPath, std::string(1023, 'p'));
  EXPECT_EQ(asked, (std::vector<std::int32_t>{0, 1}));
}

TEST(Layout, ListAndStatusLineFollowTheClientArea) {
  const MainWindowLayout layout = LayoutMainWindow(800, 600);
  const auto [list, status] = std::pair{layout.recordList, layout.statusLine};
  EXPECT_EQ((std::array{list.x, list.y, list.width, list.height}), (std::array{0, 60, 800, 500}));
  EXPECT_EQ((std::array{status.x, status.y, status.width, status.height}),
            (std::array{0, 565, 800, 30}));
  const MainWindowLayout small = LayoutMainWindow(50, 40);
  EXPECT_EQ(small.recordList.height, -60);
  EXPECT_EQ(small.statusLine.y, 5);
}

}  // namespace
