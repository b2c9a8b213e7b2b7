#include "app/main_flows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/memory_user_interface.h"
#include "test_support.h"

namespace {

using Messages = std::vector<MessageRecord>;
using Strings = std::vector<std::string>;

constexpr char kDefinitions[] =
    "struct Rec { ubyte a; uword b; string s [4]; }\n"
    "struct Pair { uword x; xword y; }\n";

class Flows : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir.File("struct.def"), kDefinitions);
    StartUp(state, ui, dir.Path());
    ui.statusTexts.clear();
  }

  // Reads `bytes` through the read button.
  std::string Load(std::string_view bytes, const std::string& name = "data.bin") {
    const std::string path = dir.File(name);
    WriteBytes(path, bytes);
    ui.pathField = path;
    ReadDataFile(state, ui);
    return path;
  }
  std::string Cell(std::uint32_t row, int column) { return state.table.CellText(row, column); }
  Strings Labels() {
    Strings labels;
    for (const auto& column : ui.list.columns) labels.push_back(column.label);
    return labels;
  }

  TempDir dir;
  AppState state;
  MemoryUserInterface ui{state};
};

TEST(StartUpFlow, ListsTheStructuresAndShowsTheFirstWithOneRow) {
  TempDir dir;
  WriteBytes(dir.File("struct.def"), kDefinitions);
  AppState state;
  MemoryUserInterface ui(state);
  StartUp(state, ui, dir.Path());
  EXPECT_EQ(state.currentDirectory, dir.Path());
  EXPECT_EQ(ui.statusTexts, Strings{"構造体定義ファイルを読み込みました。"});
  EXPECT_EQ(ui.selectorItems, (Strings{"Rec", "Pair"}));
  EXPECT_EQ(ui.selectorIndex, 0);
  EXPECT_EQ(state.lastColumnIndex, 4);
  ASSERT_EQ(ui.list.columns.size(), 5u);
  EXPECT_EQ(ui.list.columns[4].label, "s");
  EXPECT_EQ(ui.list.rowCount, 1u);
  EXPECT_EQ(state.table.CellText(0, 0), "0");
  EXPECT_EQ(state.table.CellText(0, 1), "00000000");
  EXPECT_EQ(state.table.CellText(0, 2), "");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(StartUpFlow, WithoutDefinitionsOrWorkingDirectory) {
  TempDir dir;
  AppState state;
  MemoryUserInterface ui(state);
  StartUp(state, ui, dir.Path());
  EXPECT_EQ(ui.statusTexts, Strings{"構造体定義ファイルを読み込めませんでした。"});
  EXPECT_TRUE(ui.selectorItems.empty());
  EXPECT_EQ(ui.list.columns.size(), 2u);
  EXPECT_EQ(ui.list.rowCount, 1u);

  AppState lost;
  MemoryUserInterface lostUi(lost);
  StartUp(lost, lostUi, std::nullopt);
  ASSERT_FALSE(lostUi.messages.empty());
  EXPECT_EQ(lostUi.messages[0],
            (MessageRecord{"カレントディレクトリの取得に失敗しました\r\nプログラムの動作が保証できません",
                           "FatalError!"}));
  EXPECT_EQ(lost.currentDirectory, "");
  EXPECT_EQ(lostUi.list.columns.size(), 2u);

  EXPECT_EQ(CurrentWorkingDirectory(), std::filesystem::current_path().string());
}

TEST_F(Flows, ReadShowsTheDataAndReportsFailures) {
  const std::string path = Load(std::string("\x05\x34\x12" "ab\0\0" "\x09", 8));
  EXPECT_EQ(ui.StatusText(), "データ\"" + path + "\"を読み込みました");
  EXPECT_EQ(ui.list.rowCount, 2u);
  EXPECT_EQ(Cell(0, 2), "5");
  EXPECT_EQ(Cell(0, 3), "4660");
  EXPECT_EQ(Cell(0, 4), "ab");
  EXPECT_EQ(Cell(1, 2), "9");
  EXPECT_EQ(Cell(1, 3), "");

  ui.pathField = dir.File("missing.bin");
  ReadDataFile(state, ui);
  EXPECT_EQ(ui.messages, (Messages{{dir.File("missing.bin"), "FileReadError!"}}));
  EXPECT_EQ(ui.statusTexts.size(), 1u);
  EXPECT_EQ(Cell(0, 2), "5");  // the earlier data stays

  ui.pathField.clear();
  ReadDataFile(state, ui);
  WriteDataFile(state, ui);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.statusTexts.size(), 1u);
}

TEST_F(Flows, WriteSavesTheBytesOrSaysWhyNot) {
  ui.pathField = dir.File("out.bin");
  WriteDataFile(state, ui);
  EXPECT_EQ(ui.messages, (Messages{{"データがありません", "Error Message"}}));
  EXPECT_FALSE(FileExists(dir.File("out.bin")));
  EXPECT_TRUE(ui.statusTexts.empty());

  Load("", "empty.bin");
  EXPECT_EQ(ui.list.rowCount, 1u);
  ui.pathField = dir.File("out.bin");
  WriteDataFile(state, ui);
  EXPECT_EQ(ui.StatusText(), "データを\"" + dir.File("out.bin") + "\"に書き込みました");
  EXPECT_EQ(ReadBytes(dir.File("out.bin")), "");

  Load("abcdefg");
  const std::string bad = dir.File("no-such-folder") + "/out.bin";
  ui.pathField = bad;
  WriteDataFile(state, ui);
  EXPECT_EQ(ui.messages.back(), (MessageRecord{bad, "FileWriteError!"}));
}

TEST_F(Flows, PathFieldBrowseAboutAndFont) {
  for (int quiet : {0x100, 0x200, 0x300, 0x400}) PathFieldNotify(ui, quiet);
  EXPECT_TRUE(ui.messages.empty());
  PathFieldNotify(ui, 0x501);
  PathFieldNotify(ui, -5);
  EXPECT_EQ(ui.messages, (Messages{{"1281", "EDIT Event"}, {"-5", "EDIT Event"}}));

  ui.pathField = "typed";
  BrowseForDataFile(state, ui);
  EXPECT_EQ(ui.pathField, "typed");
  ui.browseAnswer = "C:\\data\\\x8D\x5C.bin";
  BrowseForDataFile(state, ui);
  EXPECT_EQ(ui.pathField, "C:\\data\\\x8D\x5C.bin");

  ShowAbout(state, ui);
  EXPECT_EQ(ui.dialogsRun, std::vector<DialogId>{DialogId::About});

  const auto widths = ui.list.columns;
  SelectListFont(state, ui);
  EXPECT_EQ(ui.fontChanges, 0);
  ui.fontAnswer = true;
  SelectListFont(state, ui);
  EXPECT_EQ(ui.fontChanges, 1);
  EXPECT_EQ(ui.list.columns.size(), widths.size());
  EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(Flows, SwitchingStructureShowsTheSameBytesUnderTheNewLayout) {
  Load("\x01\x02\x03\x04\x05\x06\x07\x08");
  ui.selectorIndex = 1;
  SelectStructure(state, ui, 4);  // not a selection change
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "a", "b", "s"}));
  SelectStructure(state, ui, 1);
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "x", "y"}));
  EXPECT_EQ(state.lastColumnIndex, 3);
  EXPECT_EQ(ui.list.rowCount, 2u);
  EXPECT_EQ(Cell(0, 2), "513");
  EXPECT_EQ(Cell(0, 3), "0403");
  EXPECT_EQ(Cell(1, 1), "00000004");
  EXPECT_EQ(Cell(1, 3), "0807");
}

TEST_F(Flows, CellEditStoresTheValueAndShowsItAsTyped) {
  Load(std::string("\x05\x34\x12" "ab\0d" "\x09", 8));
  std::string offered;
  ui.OnDialog(DialogId::ItemEdit, [&](AppState& s) {
    offered = s.editText.get();
    return MemoryUserInterface::ItemEditAnswer("017", true)(s);
  });
  EditCell(state, ui, 0, 2);
  EXPECT_EQ(offered, "5");
  EXPECT_EQ(state.editCaption, "No.0 : a : 型=ubyte");
  EXPECT_EQ(state.dataBuffer.bytes[0], 17);
  EXPECT_EQ(Cell(0, 2), "017");
  EXPECT_EQ(ui.list.updatedCells, (std::vector<std::pair<std::uint32_t, int>>{{0, 2}}));
  EXPECT_FALSE(state.editText);
  EXPECT_TRUE(ui.statusTexts.size() == 1);  // a successful edit reports nothing
  RefreshRecordTable(state, ui);
  EXPECT_EQ(Cell(0, 2), "17");

  // The caption counts rows from 0 whatever noBase says.
  state.noBase = 1;
  RefreshRecordTable(state, ui);
  ui.OnDialog(DialogId::ItemEdit, MemoryUserInterface::ItemEditAnswer("65535", true));
  EditCell(state, ui, 1, 2);
  EXPECT_EQ(state.editCaption, "No.1 : a : 型=ubyte");
  EXPECT_EQ(state.dataBuffer.bytes[7], 255);

  ui.OnDialog(DialogId::ItemEdit, MemoryUserInterface::ItemEditAnswer("x", true));
  EditCell(state, ui, 0, 3);
  EXPECT_EQ(state.editCaption, "No.0 : b : 型=uword");
}

TEST_F(Flows, CancelledEditWritesNothing) {
  const std::string bytes("\x05\x34\x12" "ab\0d", 7);
  Load(bytes);
  ui.OnDialog(DialogId::ItemEdit, MemoryUserInterface::ItemEditAnswer("zz", false));
  EditCell(state, ui, 0, 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(state.dataBuffer.bytes.get()), 7), bytes);
  EXPECT_EQ(Cell(0, 4), "ab");
  EXPECT_TRUE(ui.list.updatedCells.empty());
  EXPECT_EQ(ui.statusTexts.size(), 1u);
  EXPECT_FALSE(state.editText);

  // Fixed columns and clicks below the rows open nothing.
  for (auto [row, column] : {std::pair{0, 0}, {0, 1}, {-1, 2}, {1, 2}, {0, 5}}) {
    EditCell(state, ui, row, column);
  }
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
}

TEST_F(Flows, EditBeyondTheDataOrRefusedByTheList) {
  const char* beyond = "アクセスできる範囲を越えたところに入力されました";
  ui.OnDialog(DialogId::ItemEdit, MemoryUserInterface::ItemEditAnswer("7", true));
  EditCell(state, ui, 0, 2);  // nothing loaded
  EXPECT_EQ(ui.StatusText(), beyond);

  Load(std::string("\x05\x34\x12" "abcd" "\x09\x01", 9));
  EditCell(state, ui, 1, 3);  // b of the partial record runs past the end
  EXPECT_EQ(ui.StatusText(), beyond);
  EXPECT_EQ(state.dataBuffer.bytes[8], 1);

  ui.list.refuseUpdateCell = true;
  EditCell(state, ui, 1, 2);
  EXPECT_EQ(state.dataBuffer.bytes[7], 7);
  EXPECT_EQ(Cell(1, 2), "9");  // the list kept its text
  EXPECT_EQ(ui.messages, (Messages{{"7", "入力値の反映に失敗しました"}}));
  EXPECT_EQ(ui.StatusText(), "入力値の反映に失敗しました");
}

TEST_F(Flows, HeaderClickChangesTheDisplayTypeWithinItsFamily) {
  Load(std::string("\xF0\x34\x12" "abcd", 7));
  const auto widths = ui.list.columns;
  struct Case {
    int column;
    DialogId dialog;
    std::vector<int> clicks;
    std::string status;
    std::string cell;
  };
  const std::vector<Case> cases = {
      {2, DialogId::ByteType, {142, 143, 1}, "\"a\"の型を xbyte に変更しました", "F0"},
      {2, DialogId::ByteType, {142, 1}, "\"a\"の型を sbyte に変更しました", "-16"},
      {3, DialogId::WordType, {143, 1}, "\"b\"の型を xword に変更しました", "1234"},
      {0, DialogId::WordType, {142, 1}, "\"No.\"の型を sword に変更しました", "0"},
      {1, DialogId::LongType, {142, 1}, "\"Address\"の型を slong に変更しました", "00000000"},
  };
  for (const Case& c : cases) {
    ui.OnDialog(c.dialog, MemoryUserInterface::ClickControls(ui, c.dialog, c.clicks));
    const int refills = ui.list.showRowsCalls;
    ChangeColumnType(state, ui, c.column);
    EXPECT_EQ(ui.dialogsRun.back(), c.dialog);
    EXPECT_EQ(state.typeDialogCaption, state.columns[c.column].label);
    EXPECT_EQ(ui.StatusText(), c.status);
    EXPECT_EQ(Cell(0, c.column), c.cell);
    EXPECT_EQ(ui.list.showRowsCalls, refills + 1);
  }
  EXPECT_EQ(ui.list.columns.size(), widths.size());
  for (std::size_t i = 0; i < widths.size(); ++i) EXPECT_EQ(ui.list.columns[i].width, widths[i].width);

  // Cancel, the same type, or a String column: nothing but the refusal text.
  const std::size_t statuses = ui.statusTexts.size();
  for (auto clicks : {std::vector<int>{141, 2}, std::vector<int>{143, 1}, std::vector<int>{1}}) {
    ui.OnDialog(DialogId::WordType, MemoryUserInterface::ClickControls(ui, DialogId::WordType, clicks));
    ChangeColumnType(state, ui, 3);
  }
  EXPECT_EQ(state.columns[3].displayType, TypeCode::XWord);
  EXPECT_EQ(ui.statusTexts.size(), statuses);
  const std::size_t dialogs = ui.dialogsRun.size();
  ChangeColumnType(state, ui, 4);
  ChangeColumnType(state, ui, 99);
  EXPECT_EQ(ui.dialogsRun.size(), dialogs);
  EXPECT_EQ(ui.StatusText(), "\"string\"型は変更できません");
}

TEST_F(Flows, SettingsTakeEffectAtTheNextRefill) {
  Load("abcdefgh");
  ui.OnDialog(DialogId::Settings, MemoryUserInterface::ClickControls(ui, DialogId::Settings, {142, 1}));
  ChangeSettings(state, ui);
  EXPECT_EQ(Cell(0, 0), "1");
  EXPECT_EQ(Cell(1, 0), "2");

  // CANCEL keeps the clicked value but shows it only at the next refill.
  ui.OnDialog(DialogId::Settings, MemoryUserInterface::ClickControls(ui, DialogId::Settings, {141, 2}));
  ChangeSettings(state, ui);
  EXPECT_EQ(state.noBase, 0);
  EXPECT_EQ(Cell(0, 0), "1");
  ui.OnDialog(DialogId::Settings, MemoryUserInterface::ClickControls(ui, DialogId::Settings, {1}));
  ChangeSettings(state, ui);
  EXPECT_EQ(Cell(0, 0), "0");

  state.noBase = 7;
  ChangeSettings(state, ui);
  EXPECT_EQ(ui.messages, (Messages{{"No.初期数設定値が異常です(7)", "Error!"}}));
  EXPECT_EQ(Cell(0, 0), "0");
}

TEST_F(Flows, CsvExportReportsEachOutcome) {
  Load(std::string("\x01\x02\x03" "ab\0\0", 7));
  const std::string path = dir.File("out.csv");

  ExportCsv(state, ui);  // cancelled: nothing
  EXPECT_TRUE(ui.statusTexts.size() == 1 && !FileExists(path));

  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer("", {}));
  ExportCsv(state, ui);
  EXPECT_EQ(ui.StatusText(), "ファイル名が空なためエクスポートできません。");

  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer(path, {3}));
  ExportCsv(state, ui);
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + path + "\"をエクスポートしました。");
  EXPECT_EQ(ReadBytes(path), "No.,Address,a,s\r\n0,00000000,1,ab\r\n");
  EXPECT_EQ(state.csvSelection, (std::vector<std::int32_t>{0, 1, 2, 4}));

  const std::size_t statuses = ui.statusTexts.size();
  ui.yesNoAnswers = {false};
  ExportCsv(state, ui);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.statusTexts.size(), statuses);

  const std::string bad = dir.File("none") + "/x.csv";
  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer(bad, {}));
  ExportCsv(state, ui);
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + bad + "\"のエクスポートに失敗しました。");

  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer("ignored", {}, false));
  ExportCsv(state, ui);
  EXPECT_EQ(state.csvPath, bad);
}

TEST_F(Flows, AListThatCannotBeEmptiedIsReportedAndStillRefilled) {
  Load("abcdefgh");
  ui.list.refuseDeleteAllItems = true;
  state.noBase = 1;
  RefreshRecordTable(state, ui);
  EXPECT_EQ(ui.messages,
            (Messages{{"テーブルを初期化できませんでした。\r\nプログラムを終了してください。",
                       "Fatal Error"}}));
  EXPECT_EQ(Cell(0, 0), "1");
}

TEST_F(Flows, DispatchRoutesCommandsByTheirIds) {
  EXPECT_EQ(DispatchCommand(state, ui, 105, 0), CommandOutcome::Exit);
  EXPECT_EQ(DispatchCommand(state, ui, 999, 0), CommandOutcome::NotHandled);
  EXPECT_EQ(DispatchCommand(state, ui, 151, 0x501), CommandOutcome::Handled);
  EXPECT_EQ(ui.messages.back(), (MessageRecord{"1281", "EDIT Event"}));
  ui.selectorIndex = 1;
  DispatchCommand(state, ui, 150, 1);
  EXPECT_EQ(state.columns.size(), 4u);
}

}  // namespace
