#include "dialogs/export_choice.h"

#include <gtest/gtest.h>

#include "app/layout.h"

namespace {

ColumnList WithMembers(int memberCount) {
  StructDef structDef;
  for (int i = 0; i < memberCount; ++i)
    structDef.members.push_back({TypeCode::UByte, "m" + std::to_string(i), 1});
  ColumnList columns;
  BuildColumnList(structDef, columns);
  return columns;
}

TEST(ExportChoice, OffersAndStoresTheListedColumnsButNeverPastTheColumnList) {
  using Labels = std::vector<std::string>;
  EXPECT_EQ(ExportColumnLabels(WithMembers(2), 3), (Labels{"No.", "Address", "m0", "m1"}));
  EXPECT_EQ(ExportColumnLabels(WithMembers(2), 1), (Labels{"No.", "Address"}));
  EXPECT_EQ(ExportColumnLabels(WithMembers(2), -1), Labels{});
  // After a failed table initialisation the list has more columns than the ColumnList.
  EXPECT_EQ(ExportColumnLabels(WithMembers(1), 9), (Labels{"No.", "Address", "m0"}));

  const ExportChoice some =
      AcceptExportChoice("out.csv", 5, [](std::int32_t item) { return item != 1 && item != 3; });
  EXPECT_EQ(some.path, "out.csv");
  EXPECT_EQ(some.columns, (std::vector<std::int32_t>{0, 2, 4}));
  std::vector<std::int32_t> asked;
  const ExportChoice cut = AcceptExportChoice(std::string(2000, 'p'), 2, [&](std::int32_t item) {
    asked.push_back(item);
    return false;
  });
  EXPECT_EQ(cut.path, std::string(1023, 'p'));
  EXPECT_TRUE(cut.columns.empty());
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
