#include <gmock/gmock.h>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

class CommandsTest : public VelmoraE2eTest {
 protected:
  void SetUp() override {
    WriteStructDef(kItemPairDef);
    WriteBytes(PathIn("data.bin"), ItemData());
  }

  std::vector<std::string> NumberColumn() {
    std::vector<std::string> numbers;
    for (int row = 0; row < App().RowCount(); ++row) numbers.push_back(App().Cell(row, 0));
    return numbers;
  }

  // Opens the CSV export dialog, types `path`, toggles the list box items `toggled` and closes
  // the dialog with `button`.
  ::testing::AssertionResult Export(const std::string& path, std::vector<int> toggled,
                                    int button = ids::kOk) {
    ModalWindow dialog;
    if (auto opened = OpenDialog(ids::kCsvExport, "CSVエクスポート", dialog); !opened) return opened;
    HWND columns = GetDlgItem(dialog.window, ids::kCsvColumns);
    for (int item : toggled) {
      if (!ClickListBoxItem(columns, item)) {
        return ::testing::AssertionFailure() << "cannot click list box item " << item;
      }
    }
    if (!SetWindowTextCp932(GetDlgItem(dialog.window, ids::kDialogField), path) ||
        !App().Answer(dialog, button)) {
      return ::testing::AssertionFailure() << "cannot fill in and close the export dialog";
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(CommandsTest, SettingsChooseTheFirstRecordNumber) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Read(PathIn("data.bin")));

  ModalWindow dialog;
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", dialog));
  EXPECT_TRUE(IsChecked(GetDlgItem(dialog.window, 141)));
  EXPECT_FALSE(IsChecked(GetDlgItem(dialog.window, 142)));
  ASSERT_TRUE(ClickDialogItem(dialog.window, 142));
  ASSERT_TRUE(App().Answer(dialog, ids::kOk));
  EXPECT_THAT(NumberColumn(), ElementsAre("1", "2", "3"));

  // CANCEL keeps the click but refills nothing: the numbers change at the next refill.
  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", dialog));
  EXPECT_TRUE(IsChecked(GetDlgItem(dialog.window, 142)));
  ASSERT_TRUE(ClickDialogItem(dialog.window, 141));
  ASSERT_TRUE(App().Answer(dialog, ids::kCancel));
  EXPECT_THAT(NumberColumn(), ElementsAre("1", "2", "3"));
  ASSERT_TRUE(App().SelectStructure(0));
  ASSERT_TRUE(App().Settle());
  EXPECT_THAT(NumberColumn(), ElementsAre("0", "1", "2"));

  ASSERT_TRUE(OpenDialog(ids::kSettings, "設定", dialog));
  EXPECT_TRUE(IsChecked(GetDlgItem(dialog.window, 141)));
  EXPECT_FALSE(IsChecked(GetDlgItem(dialog.window, 142)));
  ASSERT_TRUE(App().Answer(dialog, ids::kOk));
  EXPECT_THAT(NumberColumn(), ElementsAre("0", "1", "2"));
}

TEST_F(CommandsTest, CsvExportWritesTheShownTableAndAsksBeforeOverwriting) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Read(PathIn("data.bin")));
  const std::string csv = PathIn("out.csv");

  // The dialog offers every column, all selected.
  ModalWindow dialog;
  ASSERT_TRUE(OpenDialog(ids::kCsvExport, "CSVエクスポート", dialog));
  HWND columns = GetDlgItem(dialog.window, ids::kCsvColumns);
  EXPECT_THAT(ListBoxItems(columns), ElementsAre("No.", "Address", "kind", "flags", "count",
                                                 "name", "delta", "total"));
  EXPECT_THAT(ListBoxSelection(columns), ElementsAre(true, true, true, true, true, true, true, true));
  ASSERT_TRUE(SetWindowTextCp932(GetDlgItem(dialog.window, ids::kDialogField), csv));
  ASSERT_TRUE(App().Answer(dialog, ids::kOk));
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
  ASSERT_TRUE(ChangeType(4, 0, {2}));
  ASSERT_TRUE(StatusIs(Quoted("count") + "の型を xword に変更しました"));
  ASSERT_TRUE(Export(csv, {1, 7}));
  ASSERT_TRUE(AnswerBox("上書き注意", question, ids::kNo));
  EXPECT_EQ(ReadBytes(csv), all);
  EXPECT_EQ(App().Status(), Quoted("count") + "の型を xword に変更しました");

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
  ASSERT_TRUE(Export(unwritable, {}));
  EXPECT_TRUE(StatusIs("ファイル" + Quoted(unwritable) + "のエクスポートに失敗しました。"));
  EXPECT_FALSE(FileExists(unwritable));

  // CANCEL writes nothing.
  const std::string cancelled = PathIn("cancelled.csv");
  ASSERT_TRUE(Export(cancelled, {}, ids::kCancel));
  ASSERT_TRUE(App().Settle());
  EXPECT_FALSE(FileExists(cancelled));
  EXPECT_EQ(App().Status(), "ファイル" + Quoted(unwritable) + "のエクスポートに失敗しました。");
  EXPECT_THAT(ListFolder(Folder()), ElementsAre("data.bin", "empty.csv", "out.csv", "struct.def"));
}

TEST_F(CommandsTest, ReadAndWriteFailuresAreReportedInBoxes) {
  ASSERT_TRUE(Start());
  const std::string started = App().Status();
  const std::string data = PathIn("data.bin");

  // Nothing loaded yet: the write refuses and creates no file.
  const std::string early = PathIn("early.bin");
  ASSERT_TRUE(App().TypePath(early));
  ASSERT_TRUE(App().ClickWrite());
  ASSERT_TRUE(AnswerBox("Error Message", "データがありません"));
  EXPECT_FALSE(FileExists(early));
  EXPECT_EQ(App().Status(), started);

  // An empty path field does nothing at all.
  ASSERT_TRUE(App().TypePath(""));
  ASSERT_TRUE(App().ClickRead());
  ASSERT_TRUE(App().ClickWrite());
  EXPECT_TRUE(NoModalAppears());
  EXPECT_EQ(App().Status(), started);

  const std::string missing = PathIn("missing.bin");
  ASSERT_TRUE(App().TypePath(missing));
  ASSERT_TRUE(App().ClickRead());
  ASSERT_TRUE(AnswerBox("FileReadError!", missing));
  EXPECT_EQ(App().Status(), started);

  // A failed read keeps the data read before it, so nothing of it is lost.
  ASSERT_TRUE(Read(data));
  ASSERT_TRUE(App().TypePath(missing));
  ASSERT_TRUE(App().ClickRead());
  ASSERT_TRUE(AnswerBox("FileReadError!", missing));
  EXPECT_EQ(App().Cell(0, 3), "A0");
  const std::string copy = PathIn("copy.bin");
  ASSERT_TRUE(Write(copy));
  EXPECT_EQ(ReadBytes(copy), ItemData());

  // Targets that cannot be written: a missing folder and a folder.
  const std::string written = App().Status();
  const std::string noFolder = PathIn("missing-folder\\out.bin");
  ASSERT_TRUE(App().TypePath(noFolder));
  ASSERT_TRUE(App().ClickWrite());
  ASSERT_TRUE(AnswerBox("FileWriteError!", noFolder));
  ASSERT_TRUE(CreateDirectoryA(PathIn("folder").c_str(), nullptr));
  ASSERT_TRUE(App().TypePath(PathIn("folder")));
  ASSERT_TRUE(App().ClickWrite());
  ASSERT_TRUE(AnswerBox("FileWriteError!", PathIn("folder")));
  EXPECT_EQ(App().Status(), written);
  EXPECT_THAT(ListFolder(Folder()), ElementsAre("copy.bin", "data.bin", "folder", "struct.def"));
  EXPECT_TRUE(ListFolder(PathIn("folder")).empty());
}

TEST_F(CommandsTest, AboutOpensFromTheMenuAndFromAltQuestionMark) {
  ASSERT_TRUE(Start());

  ModalWindow about;
  ASSERT_TRUE(OpenDialog(ids::kAbout, "バージョン情報 Velmora", about));
  HWND iconControl = nullptr;
  for (HWND child = FindWindowExA(about.window, nullptr, "Static", nullptr); child;
       child = FindWindowExA(about.window, child, "Static", nullptr)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) iconControl = child;
  }
  ASSERT_NE(iconControl, nullptr) << "the About box has no icon control";
  auto icon = Ask(iconControl, STM_GETICON);
  EXPECT_TRUE(icon && *icon) << "the About box shows no icon";
  ASSERT_TRUE(App().Answer(about, ids::kOk));

  for (char key : {'?', '/'}) {
    SCOPED_TRACE(std::string("Alt+") + key);
    ASSERT_TRUE(PressAltCharacter(App().Main(), key));
    ASSERT_TRUE(OpenDialog(0, "バージョン情報 Velmora", about));
    ASSERT_TRUE(App().Answer(about, ids::kOk));
  }
}

TEST_F(CommandsTest, ResizeLaysOutListAndStatusLine) {
  ASSERT_TRUE(Start());
  auto expectLayout = [&] {
    const RECT client = ClientRectOf(App().Main());
    const int width = client.right;
    const int height = client.bottom;
    SCOPED_TRACE("client " + std::to_string(width) + "x" + std::to_string(height));
    const RECT list = App().ControlRect(ids::kRecordList);
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, 60);
    EXPECT_EQ(list.right - list.left, width);
    EXPECT_EQ(list.bottom - list.top, std::max(height - 100, 0));
    const RECT status = App().ControlRect(ids::kStatusLine);
    EXPECT_EQ(status.left, 0);
    EXPECT_EQ(status.top, height - 35);
    EXPECT_EQ(status.right - status.left, width);
    EXPECT_EQ(status.bottom - status.top, 30);
    // The controls of the top row stay where they were created.
    const RECT path = App().ControlRect(ids::kPathField);
    EXPECT_EQ(path.left, 420);
    EXPECT_EQ(path.top, 20);
    EXPECT_EQ(path.right - path.left, 300);
    EXPECT_EQ(App().ControlRect(ids::kReadButton).left, 780);
    EXPECT_EQ(App().ControlRect(ids::kWriteButton).left, 870);
    EXPECT_EQ(App().ControlRect(ids::kBrowseButton).left, 720);
    EXPECT_EQ(App().ControlRect(ids::kSelector).left, 80);
  };
  expectLayout();

  RECT frame{};
  GetWindowRect(App().Main(), &frame);
  const RECT client = ClientRectOf(App().Main());
  const int extraWidth = (frame.right - frame.left) - client.right;
  const int extraHeight = (frame.bottom - frame.top) - client.bottom;
  for (auto [width, height] : {std::pair{800, 600}, std::pair{1000, 450}, std::pair{640, 120}, std::pair{640, 80}}) {
    ASSERT_TRUE(SetWindowPos(App().Main(), nullptr, 0, 0, width + extraWidth,
                             height + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] {
      RECT now = ClientRectOf(App().Main());
      return now.right == width && now.bottom == height;
    }));
    ASSERT_TRUE(App().Settle());
    expectLayout();
  }

  // The main window passes the keyboard focus on to the structure selector.
  ASSERT_TRUE(MakeForeground(App().Main()));
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(WaitUntil([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(App().Main(), nullptr), &info) &&
           info.hwndFocus == App().Control(ids::kSelector);
  }));
}

}  // namespace
}  // namespace e2e
