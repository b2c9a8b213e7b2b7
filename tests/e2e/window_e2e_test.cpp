#include <filesystem>

#include "e2e_fixture.h"

namespace e2e {

// Strings: with bytes after the zero, with a comma and a quote, of CP932 characters ending in 5C.
const unsigned char kItems[] = {
    0x05, 0xA0, 0x34, 0x12, 'a',  'b',  0x00, 'X',  'Y',  'Z',  0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12,
    0xFF, 0x01, 0x01, 0x00, 'a',  ',',  '"',  'b',  0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF,
    0x00, 0x7F, 0xFF, 0xFF, 0x95, 0x5C, 0x83, 0x5C, '!',  0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80};

// One session in folders whose names end in a byte 0x5C (表 is 95 5C, ソ 83 5C in code page
// 932), so every path join and status text is byte-wise.
TEST_F(VelmoraE2eTest, OneSessionThroughEveryCommand) {
  const std::string work = dir_.File("作業表"), data = dir_.File("データソ");
  const std::string items(kItems, kItems + 48);
  ASSERT_TRUE(MakeFolder(work) && MakeFolder(data));
  WriteBytes(work + "\\struct.def",
             "struct Bad {\n  ubyte a;\n  xbyte c [4\n  ;\n}\n"
             "struct Item { ubyte kind; xbyte flags; uword count; string name [6]; sword delta;"
             " ulong total; }\r\nstruct Byte { ubyte b; }\r\n");
  const std::string in = data + "\\表.bin", out = data + "\\出力ソ.bin", csv = data + "\\表.csv";
  WriteBytes(in, items);
  // Start-up loads the first structure: its error box comes before the window shows.
  ASSERT_TRUE(Launch(work));
  ASSERT_EQ(AnswerBox(), "\\struct.def 定義エラー: 配列の定義が不正です");
  ASSERT_TRUE(Shown());
  const HWND selector = Control(IDC_STRUCT_SELECTOR);
  std::vector<std::string> names(Ask(selector, CB_GETCOUNT).value_or(0));
  for (WPARAM i = 0; i < names.size(); ++i) names[i] = AskText(selector, CB_GETLBTEXT, i);
  EXPECT_THAT(names, ElementsAre("Bad", "Item", "Byte"));
  ASSERT_TRUE(SelectStructure(1));
  ModalWindow dialog;
  using Keys = std::vector<WORD>;  // Alt+? and Alt+/
  for (const Keys& keys : {Keys{VK_MENU, VK_SHIFT, VK_OEM_2}, Keys{VK_MENU, VK_OEM_2}}) {
    ASSERT_TRUE(PressKeys(main_, keys));
    ASSERT_TRUE(Open(0, "バージョン情報 Velmora", dialog)) << keys.size();
    ASSERT_TRUE(Answer(dialog, IDOK));
  }
  ASSERT_TRUE(Press(IDC_READ_BUTTON, in) && StatusIs("データ" + Quoted(in) + "を読み込みました"));

  auto radio = [&](int id) { return GetDlgItem(dialog.window, id); };
  ASSERT_TRUE(Open(IDM_SETTINGS, "設定", dialog) && IsChecked(radio(IDC_NO_BASE_ZERO)) &&
              ClickAt(radio(IDC_NO_BASE_ONE)) && Answer(dialog, IDOK));
  EXPECT_EQ(Row(2).at(0), "3");

  WriteBytes(csv, "earlier");
  ASSERT_TRUE(Open(IDM_CSV_EXPORT, "CSVエクスポート", dialog) &&
              SetText(GetDlgItem(dialog.window, IDC_CSV_PATH), csv) && Answer(dialog, IDOK));
  ASSERT_EQ(AnswerBox(IDYES),
            "上書き注意: ファイル" + Quoted(csv) + "は既に存在しています。\r\n上書きしますか？");
  // The console program, on the same definition, structure, data and numbering, agrees.
  HANDLE cli =
      StartProgram(WindowsPath(VELMORA_CSV_EXE),
                   "-s Item --no-base 1 -o " + Quoted(data + "\\cli.csv") + " " + Quoted(in), work);
  EXPECT_EQ(WaitForSingleObject(cli, 10000), WAIT_OBJECT_0);
  CloseHandle(cli);
  EXPECT_EQ(ReadBytes(data + "\\cli.csv"), ReadBytes(csv));

  ASSERT_TRUE(ClickListPart(HeaderOf(List()), HDM_GETITEMRECT, 4, {}) &&
              Open(0, "型の変更", dialog));
  const HWND hex = radio(IDC_TYPE_HEX);
  ASSERT_TRUE(ClickAt(hex) && WaitUntil([&] { return IsChecked(hex); }) && Answer(dialog, IDOK));
  // Now shown in hex, OK stores the text by the column's type; CANCEL stores nothing.
  EXPECT_EQ(EditCell(0, 4, "beef"), "1234");
  EXPECT_EQ(EditCell(2, 5, "ソ表"), "表ソ!");
  EXPECT_EQ(EditCell(0, 5, "zz", IDCANCEL), "ab");
  ASSERT_TRUE(Press(IDC_WRITE_BUTTON, out) &&
              StatusIs("データを" + Quoted(out) + "に書き込みました"));
  EXPECT_EQ(ReadBytes(out), std::string(items)
                                .replace(2, 2, "\xEF\xBE")
                                .replace(36, 6, std::string("\x83\x5C\x95\x5C\0\0", 6)));

  // A list view holds at most 100,000,000 rows: the program shows that many and says so.
  const std::string big = dir_.File("big.bin");
  WriteBytes(big, "1");
  std::filesystem::resize_file(big, 100'000'002);  // sparse where the file system allows
  ASSERT_TRUE(SelectStructure(2) && Press(IDC_READ_BUTTON, big));
  ASSERT_EQ(AnswerBox(),
            "表示件数の上限: レコードが100000002件あります。一覧に表示できるのは"
            "先頭の100000000件までです。\r\nそれより後のレコードは表示されませんが、"
            "CSVエクスポートにはすべて含まれます。");
  EXPECT_EQ(Ask(List(), LVM_GETITEMCOUNT), 100'000'000);
  EXPECT_THAT(Row(99'999'999), ElementsAre("100000000", "05F5E0FF", "0"));
}

}  // namespace e2e
