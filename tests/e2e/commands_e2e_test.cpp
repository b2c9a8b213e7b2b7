#include "e2e_fixture.h"

namespace e2e {
namespace {

using CommandsTest = VelmoraE2eTest;

// One session through the menu commands: About by the menu and both accelerators, the settings,
// and a CSV export over an existing file.
TEST_F(CommandsTest, AboutSettingsAndCsvExport) {
  WriteStructDef(kItemPairDef);
  WriteBytes(PathIn("data.bin"), ItemData());
  ASSERT_TRUE(Start());
  ModalWindow about;
  ASSERT_TRUE(OpenDialog(ids::kAbout, "バージョン情報 Velmora", about));
  ASSERT_TRUE(Answer(about, ids::kOk));
  for (char key : {'?', '/'}) {
    ASSERT_TRUE(PressAltCharacter(Main(), key)) << key;
    ASSERT_TRUE(OpenDialog(0, "バージョン情報 Velmora", about)) << key;
    ASSERT_TRUE(Answer(about, ids::kOk));
  }

  // A click takes effect at once and CANCEL keeps it, but only OK refills the list.
  ASSERT_TRUE(Read(PathIn("data.bin")));
  ModalWindow settings;
  auto radio = [&](int n) { return GetDlgItem(settings.window, ids::kFirstRadio + n); };
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", settings));
  EXPECT_TRUE(IsChecked(radio(0)));
  ASSERT_TRUE(ClickWindow(radio(1)));
  ASSERT_TRUE(Answer(settings, ids::kCancel));
  EXPECT_EQ(Cell(2, 0), "2");
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", settings));
  EXPECT_TRUE(IsChecked(radio(1)));
  ASSERT_TRUE(Answer(settings, ids::kOk));
  EXPECT_EQ(Cell(2, 0), "3");

  const std::string csv = PathIn("out.csv");
  WriteBytes(csv, "earlier");
  ModalWindow dialog;
  ASSERT_TRUE(OpenDialog(ids::kCsvExport, "CSVエクスポート", dialog));
  ASSERT_TRUE(SetWindowTextCp932(GetDlgItem(dialog.window, ids::kDialogField), csv));
  ASSERT_TRUE(Answer(dialog, ids::kOk));
  ASSERT_TRUE(AnswerBox("上書き注意", "ファイル" + Quoted(csv) +
                        "は既に存在しています。\r\n上書きしますか？", ids::kYes));
  EXPECT_TRUE(StatusIs("ファイル" + Quoted(csv) + "をエクスポートしました。"));
  EXPECT_EQ(ReadBytes(csv),
            "No.,Address,kind,flags,count,name,delta,total\r\n"
            "1,00000000,5,A0,4660,ab,-2,305419896\r\n"
            "2,00000010,255,01,1,\"a,\"\"b\",-32768,4294967295\r\n"
            "3,00000020,0,7F,65535,表ソ!,1,2147483648\r\n");
}

}  // namespace
}  // namespace e2e
