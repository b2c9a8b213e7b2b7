#include "e2e_fixture.h"

namespace e2e {
namespace {

using EditingTest = VelmoraE2eTest;

// One session in folders whose names end in a byte 0x5C (表 is 95 5C, ソ 83 5C in code page
// 932), so every path join and status text is byte-wise: read, a display type changed by a
// header click, cells edited, the data written back, and Exit.
TEST_F(EditingTest, ReadChangeTypeEditWriteAndExit) {
  const std::string work = PathIn("作業表"), data = PathIn("データソ");
  ASSERT_TRUE(MakeFolder(work) && MakeFolder(data));
  WriteStructDef(kItemPairDef, work);
  const std::string in = data + "\\表.bin", out = data + "\\出力ソ.bin";
  WriteBytes(in, ItemData());
  ASSERT_TRUE(Start(work));
  ASSERT_TRUE(Read(in));
  ASSERT_EQ(RowCount(), 3);
  EXPECT_THAT(Row(2), ElementsAre("2", "00000020", "0", "7F", "65535", "表ソ!", "1", "2147483648"));

  ASSERT_TRUE(ChangeType(4, 0, {2}));
  EXPECT_TRUE(StatusIs(Quoted("count") + "の型を xword に変更しました"));
  EXPECT_EQ(Cell(0, 4), "1234");
  // OK stores the text by the column's type and shows it as typed; CANCEL stores nothing.
  ASSERT_TRUE(EditCell(0, 4, "1234", "beef"));
  ASSERT_TRUE(EditCell(2, 5, "表ソ!", "ソ表"));
  ASSERT_TRUE(EditCell(0, 5, "ab", "zz", ids::kCancel));
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "5", "A0", "beef", "ab", "-2", "305419896"));
  ASSERT_TRUE(Write(out));
  std::string expected = ItemData();
  expected.replace(2, 2, "\xEF\xBE");
  expected.replace(36, 6, std::string("\x83\x5C\x95\x5C\0\0", 6));
  EXPECT_EQ(ReadBytes(out), expected);
  EXPECT_EQ(ReadBytes(in), ItemData());

  ASSERT_TRUE(SendNotifyMessageW(Main(), WM_COMMAND, ids::kExit, 0));
  DWORD exitCode = 99;
  ASSERT_EQ(WaitForSingleObject(process_.get(), kWaitLimit), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(process_.get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace e2e
