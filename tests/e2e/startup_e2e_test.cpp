#include "e2e_fixture.h"

namespace e2e {
namespace {

using StartupTest = VelmoraE2eTest;

// The start with struct.def is the first part of the editing session.
TEST_F(StartupTest, WithoutStructDefShowsOnlyTheFixedColumns) {
  ASSERT_TRUE(Start());

  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込めませんでした。"));
  EXPECT_EQ(WindowText(Main()), "Velmora β版");
  EXPECT_TRUE(Structures().empty());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address"));
  ASSERT_EQ(RowCount(), 1);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000"));

  // The program stays usable: a data file is read and shown as record numbers and addresses.
  WriteBytes(PathIn("data.bin"), "abc");
  ASSERT_TRUE(Read(PathIn("data.bin")));
  EXPECT_EQ(RowCount(), 1);
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
