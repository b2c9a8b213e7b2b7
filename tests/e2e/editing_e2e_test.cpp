#include "e2e_fixture.h"

namespace e2e {
namespace {

using EditingTest = VelmoraE2eTest;

constexpr char kBeyond[] = "アクセスできる範囲を越えたところに入力されました";

// One session, as a user would go on: the start with struct.def, display types, the two layouts
// of the same bytes, edits written and read back, edits beyond the data, and Exit.
TEST_F(EditingTest, StartReadChangeTypesEditWriteAndExit) {
  WriteStructDef(std::string(kItemPairDef) + "struct Item { ubyte other; }\r\n");
  WriteBytes(PathIn("data.bin"), ItemData());
  ASSERT_TRUE(Start());

  EXPECT_EQ(WindowText(Main()), "Velmora β版");
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(Structures(), ElementsAre("Item", "Pair", "Item"));
  EXPECT_EQ(Ask(Control(ids::kSelector), CB_GETCURSEL), 0);
  const auto itemHeaders =
      ElementsAre("No.", "Address", "kind", "flags", "count", "name", "delta", "total");
  EXPECT_THAT(Headers(), itemHeaders);
  ASSERT_EQ(RowCount(), 1);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "", "", "", "", "", ""));
  // Before any read the one row has no data behind its cells.
  ASSERT_TRUE(EditCell(0, 2, "", "1"));
  EXPECT_TRUE(StatusIs(kBeyond));
  // The duplicate name loads the first definition of that name.
  ASSERT_TRUE(SelectStructure(2));
  EXPECT_THAT(Headers(), itemHeaders);

  ASSERT_TRUE(Read(PathIn("data.bin")));
  ASSERT_EQ(RowCount(), 3);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "5", "A0", "4660", "ab", "-2", "305419896"));
  const auto declaredRow1 =
      ElementsAre("1", "00000010", "255", "01", "1", "a,\"b", "-32768", "4294967295");
  EXPECT_THAT(Row(1), declaredRow1);
  EXPECT_THAT(Row(2), ElementsAre("2", "00000020", "0", "7F", "65535", "表ソ!", "1", "2147483648"));

  // A header click changes the display type within its family.
  ASSERT_TRUE(ChangeType(4, 0, {2}));
  EXPECT_TRUE(StatusIs(Quoted("count") + "の型を xword に変更しました"));
  EXPECT_EQ(Cell(0, 4), "1234");
  EXPECT_EQ(Cell(2, 4), "FFFF");
  // CANCEL after a click, and OK on the type the column already has, change nothing.
  ASSERT_TRUE(ChangeType(4, 2, {1}, ids::kCancel));
  ASSERT_TRUE(ChangeType(4, 2, {0, 2}));
  EXPECT_EQ(Status(), Quoted("count") + "の型を xword に変更しました");
  EXPECT_EQ(Cell(0, 4), "1234");
  // The last click counts; each family offers its own three forms.
  ASSERT_TRUE(ChangeType(2, 0, {2, 1}));
  EXPECT_TRUE(StatusIs(Quoted("kind") + "の型を sbyte に変更しました"));
  EXPECT_EQ(Cell(1, 2), "-1");
  ASSERT_TRUE(ChangeType(6, 1, {0}));
  EXPECT_TRUE(StatusIs(Quoted("delta") + "の型を uword に変更しました"));
  EXPECT_EQ(Cell(0, 6), "65534");
  ASSERT_TRUE(ChangeType(7, 0, {1}));
  EXPECT_TRUE(StatusIs(Quoted("total") + "の型を slong に変更しました"));
  EXPECT_EQ(Cell(1, 7), "-1");
  EXPECT_EQ(Cell(2, 7), "-2147483648");
  // The fixed columns offer their families too ("No." a word, "Address" a long), but their
  // texts are the record number and the address whatever the type says.
  ASSERT_TRUE(ChangeType(0, 0, {2}));
  EXPECT_TRUE(StatusIs(Quoted("No.") + "の型を xword に変更しました"));
  ASSERT_TRUE(ChangeType(1, 2, {0}));
  EXPECT_TRUE(StatusIs(Quoted("Address") + "の型を ulong に変更しました"));
  EXPECT_THAT(Row(2), ElementsAre("2", "00000020", "0", "7F", "FFFF", "表ソ!", "1", "-2147483648"));
  // A String column has no dialog.
  ASSERT_TRUE(ClickListHeader(List(), 5));
  EXPECT_TRUE(StatusIs(Quoted("string") + "型は変更できません"));
  EXPECT_TRUE(NoModalAppears());
  // Choosing the structure again starts from the declared types.
  ASSERT_TRUE(SelectStructure(0));
  EXPECT_THAT(Row(1), declaredRow1);

  // The same bytes under the other layout, with its partial last record: nothing is read again.
  ASSERT_TRUE(SelectStructure(1));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "first", "second[0]", "second[1]"));
  ASSERT_EQ(RowCount(), 4);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "305438725", "58006261", "FFFE5A59"));
  EXPECT_THAT(Row(3), ElementsAre("3", "00000024", "1552112789", "00010021", "80000000"));
  ASSERT_TRUE(SelectStructure(0));
  EXPECT_EQ(Cell(2, 5), "表ソ!");

  // OK stores the text by the column's type and shows it as typed until the next refill.
  ASSERT_TRUE(EditCell(0, 3, "A0", "7f"));
  EXPECT_EQ(Cell(0, 3), "7f");
  ASSERT_TRUE(EditCell(1, 6, "-32768", "-300"));
  EXPECT_EQ(Cell(1, 6), "-300");
  ASSERT_TRUE(EditCell(2, 5, "表ソ!", "ok"));
  EXPECT_EQ(Cell(2, 5), "ok");
  // CANCEL stores nothing, not even the shown text: the bytes after the String's zero survive.
  const std::string statusBefore = Status();
  ASSERT_TRUE(EditCell(0, 5, "ab", "zz", ids::kCancel));
  EXPECT_EQ(Cell(0, 5), "ab");
  EXPECT_EQ(Status(), statusBefore);

  const std::string out = PathIn("out.bin");
  ASSERT_TRUE(Write(out));
  std::string expected = ItemData();
  expected[1] = '\x7F';
  expected.replace(26, 2, "\xD4\xFE");
  expected.replace(36, 6, std::string("ok\0\0\0\0", 6));
  EXPECT_EQ(ReadBytes(out), expected);
  EXPECT_EQ(ReadBytes(PathIn("data.bin")), ItemData());
  // Read back, every cell shows the stored value in its column's form.
  ASSERT_TRUE(Read(out));
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "5", "7F", "4660", "ab", "-2", "305419896"));
  EXPECT_EQ(Cell(1, 6), "-300");
  EXPECT_EQ(Cell(2, 5), "ok");

  // One whole Item record and 14 bytes of a second one: its "total" would end past the data.
  const std::string partial = ItemData().substr(0, 30);
  WriteBytes(PathIn("partial.bin"), partial);
  ASSERT_TRUE(Read(PathIn("partial.bin")));
  ASSERT_EQ(RowCount(), 2);
  EXPECT_THAT(Row(1), ElementsAre("1", "00000010", "255", "01", "1", "a,\"b", "-32768", ""));
  ASSERT_TRUE(EditCell(1, 7, "", "5"));
  EXPECT_TRUE(StatusIs(kBeyond));
  EXPECT_EQ(Cell(1, 7), "");
  // Under the 12-byte layout the third record holds only "first".
  ASSERT_TRUE(SelectStructure(1));
  ASSERT_EQ(RowCount(), 3);
  EXPECT_THAT(Row(2), ElementsAre("2", "00000018", "2147483648", "", ""));
  for (int column : {3, 4}) {
    ASSERT_TRUE(EditCell(2, column, "", "1"));
    EXPECT_TRUE(StatusIs(kBeyond));
    EXPECT_EQ(Cell(2, column), "");
  }
  // Double clicks on the record number and the address open nothing.
  ASSERT_TRUE(ClickListCell(List(), 0, 0, 2));
  ASSERT_TRUE(ClickListCell(List(), 0, 1, 2));
  EXPECT_TRUE(NoModalAppears());
  ASSERT_TRUE(Write(PathIn("partial-out.bin")));
  EXPECT_EQ(ReadBytes(PathIn("partial-out.bin")), partial);

  // Exit ends the program normally.
  ASSERT_TRUE(SendNotifyMessageW(Main(), WM_COMMAND, ids::kExit, 0));
  DWORD exitCode = 99;
  ASSERT_EQ(WaitForSingleObject(process_.get(), kWaitLimit), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(process_.get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace e2e
