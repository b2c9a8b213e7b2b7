#include "e2e_fixture.h"

namespace e2e {
namespace {

using JapanesePathTest = VelmoraE2eTest;

// 表 is 95 5C and ソ is 83 5C in code page 932: their second byte is a backslash. Folder names
// that end in them make every path join and every status text a test of byte-wise handling.
TEST_F(JapanesePathTest, FoldersEndingInBackslashTrailBytesWork) {
  const std::string work = PathIn("作業表");
  const std::string dataFolder = PathIn("データソ");
  ASSERT_TRUE(MakeFolder(work));
  ASSERT_TRUE(MakeFolder(dataFolder));
  WriteStructDef("struct 表構造 { ubyte ソ値; string 名前 [4]; }\r\n", work);
  const std::string data = dataFolder + "\\表.bin";
  WriteBytes(data, std::string("\x01" "\x95\x5C" "A" "\x00" "\x02" "ab" "\x83\x5C", 10));

  ASSERT_TRUE(Start(work));
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(Structures(), ElementsAre("表構造"));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "ソ値", "名前"));

  ASSERT_TRUE(Read(data));
  ASSERT_EQ(RowCount(), 2);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "1", "表A"));
  EXPECT_THAT(Row(1), ElementsAre("1", "00000005", "2", "abソ"));

  ASSERT_TRUE(EditCell(0, 3, "表A", "ソ表"));
  const std::string out = dataFolder + "\\出力ソ.bin";
  ASSERT_TRUE(Write(out));
  EXPECT_EQ(ReadBytes(out), std::string("\x01" "\x83\x5C\x95\x5C" "\x02" "ab" "\x83\x5C", 10));

  const std::string csv = dataFolder + "\\表.csv";
  ModalWindow dialog;
  ASSERT_TRUE(OpenDialog(ids::kCsvExport, "CSVエクスポート", dialog));
  ASSERT_TRUE(SetWindowTextCp932(GetDlgItem(dialog.window, ids::kDialogField), csv));
  ASSERT_TRUE(Answer(dialog, ids::kOk));
  EXPECT_TRUE(StatusIs("ファイル" + Quoted(csv) + "をエクスポートしました。"));
  EXPECT_EQ(ReadBytes(csv), "No.,Address,ソ値,名前\r\n0,00000000,1,ソ表\r\n1,00000005,2,abソ\r\n");

  EXPECT_TRUE(ReadFails(dataFolder + "\\無い表.bin"));
  EXPECT_THAT(ListFolder(dataFolder), ElementsAre("出力ソ.bin", "表.bin", "表.csv"));
}

}  // namespace
}  // namespace e2e
