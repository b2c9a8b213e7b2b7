#include "app/main_flows.h"

#include "test_support.h"

namespace {

using namespace std::literals;
using Messages = std::vector<MessageRecord>;
using Strings = std::vector<std::string>;
using Cells = std::vector<std::pair<std::uint32_t, int>>;

class Flows : public ::testing::Test, public Session {
 protected:
  Flows()
      : Session(
            "struct Rec { ubyte a; uword b; string s [4]; }\n"
            "struct Pair { uword x; xword y; }\n") {}
};

TEST_F(Flows, StartUpListsTheStructuresAndShowsTheFirstWithOneRow) {
  EXPECT_EQ(ui.selectorItems, (Strings{"Rec", "Pair"}));
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "a", "b", "s"}));
  EXPECT_EQ(state.lastColumnIndex, 4);
  EXPECT_EQ(ui.list.rowCount, 1u);
  EXPECT_EQ((Strings{Cell(0, 0), Cell(0, 1), Cell(0, 2)}), (Strings{"0", "00000000", ""}));
}

TEST(StartUp, WithoutStructDefSaysSoAndShowsTheFixedColumns) {
  TempDir empty;
  AppState state;
  MemoryUserInterface ui;
  StartUp(state, ui, empty.Path());
  EXPECT_EQ(ui.statusTexts, Strings{"構造体定義ファイルを読み込めませんでした。"});
  EXPECT_EQ(ui.list.columns.size(), 2u);
}

TEST(StartUp, WithoutAWorkingDirectoryShowsTheFatalBox) {
  AppState state;
  MemoryUserInterface ui;
  StartUp(state, ui, std::nullopt);
  EXPECT_EQ(ui.messages, (Messages{{"カレントディレクトリの取得に失敗しました\r\n"
                                    "プログラムの動作が保証できません",
                                    "FatalError!"}}));
  EXPECT_EQ(CurrentWorkingDirectory(), std::filesystem::current_path().string());
}

TEST_F(Flows, WriteWithNothingReadSaysThereIsNoData) {
  const std::string out = dir.File("out.bin");
  Write(out);
  EXPECT_EQ(ui.messages, (Messages{{"データがありません", "Error Message"}}));
  EXPECT_FALSE(FileExists(out));
}

TEST_F(Flows, ReadShowsTheRecordsAndWriteSavesThem) {
  const std::string_view bytes = "\x05\x34\x12xy\0\0\x09"sv;
  const std::string path = Load(bytes);
  EXPECT_EQ(ui.StatusText(), "データ\"" + path + "\"を読み込みました");
  EXPECT_EQ(ui.list.rowCount, 2u);
  EXPECT_EQ((Strings{Cell(0, 3), Cell(1, 2), Cell(1, 3)}), (Strings{"4660", "9", ""}));
  const std::string out = dir.File("out.bin");
  Write(out);
  EXPECT_EQ(ui.StatusText(), "データを\"" + out + "\"に書き込みました");
  EXPECT_EQ(ReadBytes(out), bytes);
}

TEST_F(Flows, FailedReadsAndWritesShowThePathAndKeepTheData) {
  Load("\x05");
  const std::size_t statuses = ui.statusTexts.size();
  const std::string bad = dir.File("no-such-folder") + kSeparator + "out.bin";
  Read(dir.File("missing.bin"));
  Write(bad);
  Read("");  // an empty path field does nothing
  Write("");
  EXPECT_EQ(ui.messages,
            (Messages{{dir.File("missing.bin"), "FileReadError!"}, {bad, "FileWriteError!"}}));
  EXPECT_EQ(ui.statusTexts.size(), statuses);
  EXPECT_EQ(Cell(0, 2), "5");
}

TEST_F(Flows, ARepaintDuringTheListResetBoxSeesTheNewData) {
  Load("\x01\x02\x03ghij\x04\x05\x06klmn");
  std::vector<Strings> seen;
  ui.whileMessageShown = [&] { seen.push_back({Cell(0, 2), Cell(0, 4), Cell(1, 2)}); };
  ui.list.refuseDeleteAllItems = true;
  Load("\x09\x08\x07wxyz", "other.bin");
  EXPECT_EQ(seen, (std::vector<Strings>{{"9", "wxyz", ""}}));
  EXPECT_EQ(ui.messages.back().second, "Fatal Error");
}

TEST_F(Flows, PathFieldReportsOnlyNotificationsItDoesNotExpect) {
  for (ControlEvent quiet : {ControlEvent::EditFocusGained, ControlEvent::EditFocusLost,
                             ControlEvent::EditChanged, ControlEvent::EditUpdated}) {
    PathFieldNotify(ui, {quiet, 0x300});
  }
  PathFieldNotify(ui, {ControlEvent::Other, -5});
  EXPECT_EQ(DispatchCommand(state, ui, IDC_PATH_FIELD, {ControlEvent::Other, 0x501}),
            CommandOutcome::Handled);
  EXPECT_EQ(ui.messages, (Messages{{"-5", "EDIT Event"}, {"1281", "EDIT Event"}}));
}

TEST_F(Flows, BrowseFillsThePathFieldOnlyWithAChoice) {
  ui.pathField = "typed";
  BrowseForDataFile(ui);
  EXPECT_EQ(ui.pathField, "typed");
  ui.browseAnswer = "C:\\data\\\x8D\x5C.bin";
  DispatchCommand(state, ui, IDC_BROWSE_BUTTON, {});
  EXPECT_EQ(ui.pathField, "C:\\data\\\x8D\x5C.bin");
}

TEST_F(Flows, MenuCommandsReachTheirFlows) {
  EXPECT_EQ(DispatchCommand(state, ui, IDM_ABOUT, {}), CommandOutcome::Handled);
  EXPECT_EQ(ui.aboutShown, 1);
  DispatchCommand(state, ui, IDM_FONT, {});
  EXPECT_EQ(ui.fontChoosers, 1);
  EXPECT_EQ(DispatchCommand(state, ui, IDM_EXIT, {}), CommandOutcome::Exit);
  EXPECT_EQ(DispatchCommand(state, ui, 999, {}), CommandOutcome::NotHandled);
}

TEST_F(Flows, SwitchingTheStructureShowsTheSameBytesUnderTheNewLayout) {
  Load("\x01\x02\x03\x04\x05\x06\x07\x08");
  ui.selectorIndex = 1;
  SelectStructure(state, ui, {ControlEvent::Other, 4});  // not a selection change
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "a", "b", "s"}));
  DispatchCommand(state, ui, IDC_STRUCT_SELECTOR, {ControlEvent::SelectionChanged, 1});
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "x", "y"}));
  EXPECT_EQ(state.lastColumnIndex, 3);
  EXPECT_EQ((Strings{Cell(0, 2), Cell(0, 3), Cell(1, 1), Cell(1, 3)}),
            (Strings{"513", "0403", "00000004", "0807"}));
}

// Records a, b, s: 9 bytes, the second record partial.
constexpr std::string_view kRecords = "\x05\x34\x12xy\0z\x09\x01"sv;

class CellEdits : public Flows {
 protected:
  void SetUp() override {
    ui.editAnswer = [this](std::string_view caption, std::string_view shown) {
      offered.push_back({std::string(caption), std::string(shown)});
      return answer;
    };
  }
  std::vector<Strings> offered;
  std::optional<std::string> answer = "7";
};

TEST_F(CellEdits, OutsideTheDataNothingIsStored) {
  const char* beyond = "アクセスできる範囲を越えたところに入力されました";
  EditCell(state, ui, 0, 2);  // nothing loaded
  EXPECT_EQ(ui.StatusText(), beyond);
  Load(kRecords);
  EditCell(state, ui, 1, 3);  // b of the partial record runs past the end
  EXPECT_EQ(ui.StatusText(), beyond);
  EXPECT_EQ(Contents(state.dataBuffer), kRecords);
}

TEST_F(CellEdits, OkStoresTheValueAndShowsItAsTypedUntilTheNextRefill) {
  Load(kRecords);
  const std::size_t statuses = ui.statusTexts.size();
  answer = "017";
  EditCell(state, ui, 0, 2);
  EXPECT_EQ(Cell(0, 2), "017");
  RefreshRecordTable(state, ui);
  EXPECT_EQ(Cell(0, 2), "17");
  answer = "65535";
  EditCell(state, ui, 1, 2);
  answer = std::nullopt;  // cancelled: nothing stored
  EditCell(state, ui, 0, 4);
  EXPECT_EQ(Contents(state.dataBuffer), "\x11\x34\x12xy\0z\xFF\x01"sv);
  EXPECT_EQ(ui.list.updatedCells, (Cells{{0, 2}, {1, 2}}));
  EXPECT_EQ(ui.statusTexts.size(), statuses);  // neither an edit nor a cancel reports
}

TEST_F(CellEdits, TheDialogShowsTheCellAndCountsRowsFromZero) {
  Load(kRecords);
  state.noBase = 1;
  RefreshRecordTable(state, ui);
  EditCell(state, ui, 0, 2);
  EditCell(state, ui, 1, 2);
  EditCell(state, ui, 0, 4);
  EXPECT_EQ(offered, (std::vector<Strings>{{"No.0 : a : 型=ubyte", "5"},
                                           {"No.1 : a : 型=ubyte", "9"},
                                           {"No.0 : s : 型=string", "xy"}}));
}

TEST_F(CellEdits, FixedColumnsAndClicksOutsideTheRowsOpenNothing) {
  Load(kRecords);
  for (auto [row, column] : {std::pair{0, 0}, {0, 1}, {-1, 2}, {2, 2}, {0, 5}}) {
    EditCell(state, ui, row, column);
  }
  EXPECT_TRUE(offered.empty());
}

TEST_F(CellEdits, ACellTheListRefusesKeepsItsTextButTheValueIsStored) {
  Load(kRecords);
  ui.list.refuseUpdateCell = true;
  answer = "3";
  EditCell(state, ui, 1, 2);
  EXPECT_EQ(state.dataBuffer.bytes[7], 3);
  EXPECT_EQ(Cell(1, 2), "9");
  EXPECT_EQ(ui.messages, (Messages{{"3", "入力値の反映に失敗しました"}}));
  EXPECT_EQ(ui.StatusText(), "入力値の反映に失敗しました");
}

using enum TypeCode;
using Opened = std::tuple<TypeFamily, std::string, TypeCode>;

class HeaderClicks : public Flows {
 protected:
  void SetUp() override {
    Load("\xF0\x34\x12wxyz");
    ui.typeAnswer = [this](TypeFamily family, std::string_view label, TypeCode current) {
      opened.emplace_back(family, label, current);
      return answer;
    };
  }
  std::vector<Opened> opened;
  std::optional<TypeCode> answer;
};

TEST_F(HeaderClicks, ChangeTheDisplayTypeWithinItsFamily) {
  const auto columns = ui.list.columns;
  for (const auto& [column, choice, cell] : {std::tuple{2, XByte, "F0"},
                                             {2, SByte, "-16"},
                                             {3, XWord, "1234"},
                                             {1, SLong, "00000000"}}) {
    answer = choice;
    ChangeColumnType(state, ui, column);
    EXPECT_EQ(Cell(0, column), cell);
  }
  EXPECT_EQ(ui.StatusText(), "\"Address\"の型を slong に変更しました");
  EXPECT_EQ(opened, (std::vector<Opened>{{TypeFamily::Byte, "a", UByte},
                                         {TypeFamily::Byte, "a", XByte},
                                         {TypeFamily::Word, "b", UWord},
                                         {TypeFamily::Long, "Address", XLong}}));
  EXPECT_EQ(ui.list.columns, columns);  // a refill, not a rebuild
}

TEST_F(HeaderClicks, CancelTheSameTypeOrAnotherFamilysChangeNothing) {
  for (std::optional<TypeCode> refused : {std::optional<TypeCode>(), std::optional(UWord),
                                          std::optional(SByte), std::optional(String)}) {
    answer = refused;
    ChangeColumnType(state, ui, 3);
  }
  EXPECT_EQ(state.columns[3].displayType, UWord);
  EXPECT_EQ(ui.statusTexts.size(), 2u);  // start-up and read only
}

TEST_F(HeaderClicks, TextColumnsAndNoColumnOpenNothing) {
  for (int column : {4, 99, -1}) ChangeColumnType(state, ui, column);
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(ui.StatusText(), "\"string\"型は変更できません");
}

TEST_F(Flows, SettingsTakeEffectAtTheNextRefill) {
  Load("abcdefgh");
  std::vector<std::int32_t> opened;
  auto settings = [&](NumberingChoice answer) {
    ui.numberingAnswer = [&](std::int32_t noBase) {
      opened.push_back(noBase);
      return answer;
    };
    ChangeSettings(state, ui);
    return Strings{Cell(0, 0), Cell(1, 0)};
  };
  EXPECT_EQ(settings({1, true}), (Strings{"1", "2"}));
  // CANCEL keeps the clicked value but shows it only at the next refill.
  EXPECT_EQ(settings({0, false}), (Strings{"1", "2"}));
  EXPECT_EQ(state.noBase, 0);
  EXPECT_EQ(settings({0, true}), (Strings{"0", "1"}));
  EXPECT_EQ(opened, (std::vector<std::int32_t>{0, 1, 0}));
}

class CsvExports : public Flows {
 protected:
  void SetUp() override { Load("\x01\x02\x03xy\0\0"sv); }
  const std::string path = dir.File("out.csv");
};

TEST_F(CsvExports, AnEmptyPathIsReportedAndWritesNothing) {
  ExportCsv(state, ui);  // cancelled: nothing
  Export("");
  EXPECT_EQ(ui.StatusText(), "ファイル名が空なためエクスポートできません。");
}

TEST_F(CsvExports, TheChosenColumnsAreWrittenAndReported) {
  Export(path, {3});
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + path + "\"をエクスポートしました。");
  EXPECT_EQ(ReadBytes(path), "No.,Address,a,s\r\n0,00000000,1,xy\r\n");
}

// The dialog offers the listed columns only; declining the overwrite reports nothing.
TEST_F(CsvExports, DecliningTheOverwriteKeepsTheFileAndReportsNothing) {
  WriteBytes(path, "earlier");
  state.lastColumnIndex = 2;
  Strings offered;
  ui.exportAnswer = [&](std::span<const std::string> labels) {
    offered.assign(labels.begin(), labels.end());
    return ExportChoice{path, {0}};
  };
  const std::size_t statuses = ui.statusTexts.size();
  ExportCsv(state, ui);
  EXPECT_EQ(offered, (Strings{"No.", "Address", "a"}));
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.statusTexts.size(), statuses);
  EXPECT_EQ(ReadBytes(path), "earlier");
}

// A folder is asked about like a file, and then cannot be replaced.
TEST_F(Flows, CsvExportAsksBeforeReplacingAnythingThere) {
  Load("a");
  const std::string folder = dir.File("folder");
  ASSERT_TRUE(MakeFolder(folder));
  Export(folder);
  const MessageRecord question{
      "ファイル\"" + folder + "\"は既に存在しています。\r\n上書きしますか？", "上書き注意"};
  EXPECT_EQ(ui.questions, Messages{question});
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + folder + "\"のエクスポートに失敗しました。");
}

}  // namespace
