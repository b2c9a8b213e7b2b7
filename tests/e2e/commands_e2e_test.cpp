#include "e2e_fixture.h"

namespace e2e {
namespace {

using ::testing::_;

class CommandsTest : public VelmoraE2eTest {
 protected:
  std::vector<std::string> NumberColumn() {
    std::vector<std::string> numbers;
    for (int row = 0; row < RowCount(); ++row) numbers.push_back(Cell(row, 0));
    return numbers;
  }

  // Opens the CSV export dialog, which offers every column, all selected; toggles the list box
  // items `toggled`, types `path` and closes the dialog with `button`.
  AssertionResult Export(const std::string& path, std::vector<int> toggled,
                         int button = ids::kOk) {
    ModalWindow dialog;
    if (auto opened = OpenDialog(ids::kCsvExport, "CSVエクスポート", dialog); !opened) return opened;
    HWND columns = GetDlgItem(dialog.window, ids::kCsvColumns);
    EXPECT_THAT(ListBoxItems(columns), ElementsAre("No.", "Address", "kind", "flags", "count",
                                                   "name", "delta", "total"));
    EXPECT_EQ(Ask(columns, LB_GETSELCOUNT), 8) << "not all selected";
    for (int item : toggled) {
      if (!ClickListBoxItem(columns, item)) {
        return ::testing::AssertionFailure() << "cannot click list box item " << item;
      }
    }
    if (!SetWindowTextCp932(GetDlgItem(dialog.window, ids::kDialogField), path)) {
      return ::testing::AssertionFailure() << "cannot type the CSV path";
    }
    return Answer(dialog, button);
  }

  void ExpectLayout() {
    const RECT client = ClientRectOf(Main());
    const LONG width = client.right;
    const LONG height = client.bottom;
    SCOPED_TRACE("client " + std::to_string(width) + "x" + std::to_string(height));
    // Left, top, width and height in the main window's client area.
    auto box = [&](int id) {
      RECT rect{};
      GetWindowRect(Control(id), &rect);
      MapWindowPoints(HWND_DESKTOP, Main(), reinterpret_cast<POINT*>(&rect), 2);
      return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    };
    EXPECT_THAT(box(ids::kRecordList), ElementsAre(0, 60, width, std::max(height - 100, 0L)));
    EXPECT_THAT(box(ids::kStatusLine), ElementsAre(0, height - 35, width, 30));
    // The controls of the top row stay where they were created.
    EXPECT_THAT(box(ids::kPathField), ElementsAre(420, 20, 300, _));
    EXPECT_EQ(box(ids::kReadButton)[0], 780);
    EXPECT_EQ(box(ids::kWriteButton)[0], 870);
    EXPECT_EQ(box(ids::kBrowseButton)[0], 720);
    EXPECT_EQ(box(ids::kSelector)[0], 80);
  }
};

// One session through the menu commands: About, settings, CSV export, then the window resized.
TEST_F(CommandsTest, AboutSettingsCsvExportAndLayout) {
  WriteStructDef(kItemPairDef);
  WriteBytes(PathIn("data.bin"), ItemData());
  ASSERT_TRUE(Start());

  // About from the menu shows the program's icon; Alt+"?" and Alt+"/" open it too.
  ModalWindow about;
  ASSERT_TRUE(OpenDialog(ids::kAbout, "バージョン情報 Velmora", about));
  bool showsIcon = false;
  for (HWND child = FindWindowExA(about.window, nullptr, "Static", nullptr); child;
       child = FindWindowExA(about.window, child, "Static", nullptr)) {
    showsIcon |= (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                 Ask(child, STM_GETICON).value_or(0) != 0;
  }
  EXPECT_TRUE(showsIcon) << "the About box shows no icon";
  ASSERT_TRUE(Answer(about, ids::kOk));
  for (char key : {'?', '/'}) {
    SCOPED_TRACE(std::string("Alt+") + key);
    ASSERT_TRUE(PressAltCharacter(Main(), key));
    ASSERT_TRUE(OpenDialog(0, "バージョン情報 Velmora", about));
    ASSERT_TRUE(Answer(about, ids::kOk));
  }

  // The settings choose the first record number.
  ASSERT_TRUE(Read(PathIn("data.bin")));
  ModalWindow settings;
  auto radio = [&](int n) { return GetDlgItem(settings.window, ids::kFirstRadio + n); };
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", settings));
  EXPECT_TRUE(IsChecked(radio(0)));
  EXPECT_FALSE(IsChecked(radio(1)));
  ASSERT_TRUE(ClickWindow(radio(1)));
  ASSERT_TRUE(Answer(settings, ids::kOk));
  EXPECT_THAT(NumberColumn(), ElementsAre("1", "2", "3"));
  // CANCEL keeps the click but refills nothing: the numbers change at the next refill.
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", settings));
  EXPECT_TRUE(IsChecked(radio(1)));
  ASSERT_TRUE(ClickWindow(radio(0)));
  ASSERT_TRUE(Answer(settings, ids::kCancel));
  EXPECT_THAT(NumberColumn(), ElementsAre("1", "2", "3"));
  ASSERT_TRUE(SelectStructure(0));
  EXPECT_THAT(NumberColumn(), ElementsAre("0", "1", "2"));
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", settings));
  EXPECT_TRUE(IsChecked(radio(0)));
  EXPECT_FALSE(IsChecked(radio(1)));
  ASSERT_TRUE(Answer(settings, ids::kOk));
  EXPECT_THAT(NumberColumn(), ElementsAre("0", "1", "2"));

  // The export writes the shown table.
  const std::string csv = PathIn("out.csv");
  ASSERT_TRUE(Export(csv, {}));
  const std::string exported = "ファイル" + Quoted(csv) + "をエクスポートしました。";
  EXPECT_TRUE(StatusIs(exported));
  const std::string all =
      "No.,Address,kind,flags,count,name,delta,total\r\n"
      "0,00000000,5,A0,4660,ab,-2,305419896\r\n"
      "1,00000010,255,01,1,\"a,\"\"b\",-32768,4294967295\r\n"
      "2,00000020,0,7F,65535,表ソ!,1,2147483648\r\n";
  EXPECT_EQ(ReadBytes(csv), all);
  // An existing file: No leaves it and the status line alone, Yes replaces it.
  const std::string question =
      "ファイル" + Quoted(csv) + "は既に存在しています。\r\n上書きしますか？";
  const std::string changed = Quoted("count") + "の型を xword に変更しました";
  ASSERT_TRUE(ChangeType(4, 0, {2}));
  ASSERT_TRUE(StatusIs(changed));
  ASSERT_TRUE(Export(csv, {1, 7}));
  ASSERT_TRUE(AnswerBox("上書き注意", question, ids::kNo));
  EXPECT_EQ(ReadBytes(csv), all);
  EXPECT_EQ(Status(), changed);
  ASSERT_TRUE(Export(csv, {1, 7}));
  ASSERT_TRUE(AnswerBox("上書き注意", question, ids::kYes));
  EXPECT_TRUE(StatusIs(exported));
  EXPECT_EQ(ReadBytes(csv),
            "No.,kind,flags,count,name,delta\r\n"
            "0,5,A0,1234,ab,-2\r\n"
            "1,255,01,0001,\"a,\"\"b\",-32768\r\n"
            "2,0,7F,FFFF,表ソ!,1\r\n");
  // No column chosen: an empty line per row and for the header.
  const std::string empty = PathIn("empty.csv");
  ASSERT_TRUE(Export(empty, {0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_TRUE(StatusIs("ファイル" + Quoted(empty) + "をエクスポートしました。"));
  EXPECT_EQ(ReadBytes(empty), "\r\n\r\n\r\n\r\n");
  ASSERT_TRUE(Export("", {}));
  EXPECT_TRUE(StatusIs("ファイル名が空なためエクスポートできません。"));
  const std::string unwritable = PathIn("missing-folder\\out.csv");
  const std::string failed = "ファイル" + Quoted(unwritable) + "のエクスポートに失敗しました。";
  ASSERT_TRUE(Export(unwritable, {}));
  EXPECT_TRUE(StatusIs(failed));
  // CANCEL writes nothing.
  ASSERT_TRUE(Export(PathIn("cancelled.csv"), {}, ids::kCancel));
  EXPECT_EQ(Status(), failed);
  EXPECT_THAT(ListFolder(Folder()), ElementsAre("data.bin", "empty.csv", "out.csv", "struct.def"));

  // After a resize the list and the status line fill the width and the space left.
  ExpectLayout();
  RECT frame{};
  GetWindowRect(Main(), &frame);
  const RECT client = ClientRectOf(Main());
  const int extraWidth = (frame.right - frame.left) - client.right;
  const int extraHeight = (frame.bottom - frame.top) - client.bottom;
  for (auto [width, height] : {std::pair{800, 600}, std::pair{1000, 450}, std::pair{640, 120},
                               std::pair{640, 80}}) {
    ASSERT_TRUE(SetWindowPos(Main(), nullptr, 0, 0, width + extraWidth, height + extraHeight,
                             SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] {
      RECT now = ClientRectOf(Main());
      return now.right == width && now.bottom == height;
    }));
    ASSERT_TRUE(Settle());
    ExpectLayout();
  }

  // The main window passes the keyboard focus on to the structure selector.
  ASSERT_TRUE(MakeForeground(Main()));
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(WaitUntil([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(Main(), nullptr), &info) &&
           info.hwndFocus == Control(ids::kSelector);
  }));
}

}  // namespace
}  // namespace e2e
