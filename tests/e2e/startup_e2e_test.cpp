#include <gmock/gmock.h>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

using StartupTest = VelmoraE2eTest;

TEST_F(StartupTest, WithStructDefListsStructuresAndShowsFirstLayout) {
  WriteStructDef(std::string(kItemPairDef) + "struct Item { ubyte other; }\r\n");
  ASSERT_TRUE(Start());

  EXPECT_EQ(App().Title(), "Velmora β版");
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(App().Structures(), ElementsAre("Item", "Pair", "Item"));
  EXPECT_EQ(App().SelectedStructure(), 0);
  EXPECT_THAT(App().Headers(),
              ElementsAre("No.", "Address", "kind", "flags", "count", "name", "delta", "total"));
  ASSERT_EQ(App().RowCount(), 1);
  EXPECT_THAT(App().Row(0), ElementsAre("0", "00000000", "", "", "", "", "", ""));

  // The duplicate name loads the first definition of that name.
  ASSERT_TRUE(App().SelectStructure(2));
  ASSERT_TRUE(App().Settle());
  EXPECT_THAT(App().Headers(),
              ElementsAre("No.", "Address", "kind", "flags", "count", "name", "delta", "total"));

  EXPECT_EQ(App().Exit(), 0u);
}

TEST_F(StartupTest, WithoutStructDefShowsOnlyTheFixedColumns) {
  ASSERT_TRUE(Start());

  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込めませんでした。"));
  EXPECT_EQ(App().Title(), "Velmora β版");
  EXPECT_TRUE(App().Structures().empty());
  EXPECT_THAT(App().Headers(), ElementsAre("No.", "Address"));
  ASSERT_EQ(App().RowCount(), 1);
  EXPECT_THAT(App().Row(0), ElementsAre("0", "00000000"));

  // The program stays usable: a data file is read and shown as record numbers and addresses.
  WriteBytes(PathIn("data.bin"), "abc");
  ASSERT_TRUE(Read(PathIn("data.bin")));
  EXPECT_EQ(App().RowCount(), 1);
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
