#include "app/main_flows.h"

#include <array>

#include "export/csv_writer.h"
#include "dialogs/type_choice.h"
#include "records/list_view_columns.h"
#include "records/value_format.h"
#include "records/value_parse.h"
#include "structdef/record_layout.h"
#include "structdef/definition_parser.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::string_view kTableInitFailed =
    "テーブルを初期化できませんでした。\r\nプログラムを終了してください。";

std::string Quoted(std::string_view text) { return '"' + std::string(text) + '"'; }

MessageSink MessagesOf(UserInterface& ui) {
  return [&ui](std::string_view text, std::string_view caption) { ui.ShowMessage(text, caption); };
}

bool IsMemberCell(const AppState& state, int row, int column) {
  return row >= 0 && static_cast<std::uint32_t>(row) < state.table.RowCount() &&
         column >= kFirstMemberColumn && static_cast<std::size_t>(column) < state.columns.size() &&
         column < state.table.ColumnCount();
}

}  // namespace

std::optional<std::string> CurrentWorkingDirectory() {
  std::array<char, 260> buffer{};  // a path buffer of the window program: 259 bytes and a zero
#ifdef _WIN32
  const char* directory = _getcwd(buffer.data(), static_cast<int>(buffer.size()));
#else
  const char* directory = getcwd(buffer.data(), buffer.size());
#endif
  if (directory == nullptr) return std::nullopt;
  return std::string(buffer.data());
}

void StartUp(AppState& state, UserInterface& ui) { StartUp(state, ui, CurrentWorkingDirectory()); }

void StartUp(AppState& state, UserInterface& ui,
             const std::optional<std::string>& workingDirectory) {
  if (workingDirectory) {
    state.currentDirectory = *workingDirectory;
  } else {
    state.currentDirectory.clear();
    ui.ShowMessage("カレントディレクトリの取得に失敗しました\r\nプログラムの動作が保証できません",
                   "FatalError!");
  }
  const DefinitionRead listed =
      ListStructNames(StructDefPath(state.currentDirectory),
                      [&ui](std::string_view name) { ui.AddStructName(name); });
  ui.SetStatusText(listed == DefinitionRead::Read ? "構造体定義ファイルを読み込みました。"
                                                  : "構造体定義ファイルを読み込めませんでした。");
  ui.SelectFirstStructName();
  ApplySelectedStructure(state, ui);
}

void ApplySelectedStructure(AppState& state, UserInterface& ui) {
  const std::string name = ui.SelectorText();
  const MessageSink report = MessagesOf(ui);
  LoadStructDef(StructDefPath(state.currentDirectory), name, state.structDef, report);
  BuildColumnList(state.structDef, state.columns);
  BuildListColumns(state.columns, state.structDef, ui.RecordList(), state.lastColumnIndex, report);
  RefreshRecordTable(state, ui);
}

void RefreshRecordTable(AppState& state, UserInterface& ui) {
  // The snapshot comes first: the box below pumps messages, and a repaint then asks the table
  // for cells, which must not point into bytes a load has just released.
  state.table.Refresh(state.dataBuffer, state.structDef, state.columns, state.noBase);
  RecordListView& list = ui.RecordList();
  if (!list.DeleteAllItems()) ui.ShowMessage(kTableInitFailed, "Fatal Error");
  list.ShowRows(state.table.RowCount());
}

void SelectStructure(AppState& state, UserInterface& ui, Notification notification) {
  if (notification.event == ControlEvent::SelectionChanged) ApplySelectedStructure(state, ui);
}

void PathFieldNotify(UserInterface& ui, Notification notification) {
  if (notification.event != ControlEvent::Other) return;
  ui.ShowMessage(ToSignedDecimalText(notification.code), "EDIT Event");
}

void ReadDataFile(AppState& state, UserInterface& ui) {
  const std::string path = ui.PathFieldText();
  if (path.empty()) return;
  if (!LoadDataFile(state.dataBuffer, path)) {
    ui.ShowMessage(path, "FileReadError!");
    return;
  }
  RefreshRecordTable(state, ui);
  ui.SetStatusText("データ" + Quoted(path) + "を読み込みました");
}

void WriteDataFile(AppState& state, UserInterface& ui) {
  const std::string path = ui.PathFieldText();
  if (path.empty()) return;
  if (!state.dataBuffer.HasBytes()) {
    ui.ShowMessage("データがありません", "Error Message");
    return;
  }
  if (!SaveDataFile(state.dataBuffer, path)) {
    ui.ShowMessage(path, "FileWriteError!");
    return;
  }
  ui.SetStatusText("データを" + Quoted(path) + "に書き込みました");
}

void BrowseForDataFile(UserInterface& ui) {
  if (const std::optional<std::string> chosen = ui.BrowseDataFile()) ui.SetPathFieldText(*chosen);
}

void ShowAbout(UserInterface& ui) { ui.ShowAbout(); }

void ChangeSettings(AppState& state, UserInterface& ui) {
  const NumberingChoice choice = ui.ChooseNumbering(state.noBase);
  state.noBase = choice.noBase;
  if (choice.accepted) RefreshRecordTable(state, ui);
}

void ExportCsv(AppState& state, UserInterface& ui) {
  const std::optional<ExportChoice> choice =
      ui.ChooseExport(ExportColumnLabels(state.columns, state.lastColumnIndex));
  if (!choice) return;
  if (choice->path.empty()) {
    ui.SetStatusText("ファイル名が空なためエクスポートできません。");
    return;
  }
  const CsvResult result = WriteCsv(choice->path, state.table, state.columns, choice->columns,
                                    [&ui](std::string_view text, std::string_view caption) {
                                      return ui.AskYesNo(text, caption);
                                    });
  if (result == CsvResult::Written) {
    ui.SetStatusText("ファイル" + Quoted(choice->path) + "をエクスポートしました。");
  } else if (result == CsvResult::Failed) {
    ui.SetStatusText("ファイル" + Quoted(choice->path) + "のエクスポートに失敗しました。");
  }
}

void SelectListFont(UserInterface& ui) {
  // The chooser sets the font on the list itself; the column widths stay as they are.
  ui.ChooseListFont();
}

void EditCell(AppState& state, UserInterface& ui, int row, int column) {
  if (!IsMemberCell(state, row, column)) return;
  const auto record = static_cast<std::uint32_t>(row);
  const ColumnDef& columnDef = state.columns[static_cast<std::size_t>(column)];

  // The dialog starts from the text the cell shows, as far as the list gives it back.
  const std::string shown = state.table.CellText(record, column);
  const std::string caption = "No." + ToSignedDecimalText(row) + " : " + columnDef.label +
                              " : 型=" + std::string(TypeName(columnDef.displayType));
  const std::optional<std::string> typed = ui.EditCellText(caption, shown);
  if (!typed) return;
  if (StoreCellValue(state.dataBuffer, state.structDef, state.columns, *typed, column, record) !=
      StoreResult::Stored) {
    ui.SetStatusText("アクセスできる範囲を越えたところに入力されました");
    return;
  }
  state.table.SetEditedText(record, column, *typed);
  if (!ui.RecordList().UpdateCell(record, column)) {
    // The value is stored, but the cell keeps showing what it showed before.
    state.table.SetEditedText(record, column, shown);
    ui.ShowMessage(*typed, "入力値の反映に失敗しました");
    ui.SetStatusText("入力値の反映に失敗しました");
  }
}

void ChangeColumnType(AppState& state, UserInterface& ui, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= state.columns.size()) return;
  ColumnDef& columnDef = state.columns[static_cast<std::size_t>(column)];
  const TypeCode current = columnDef.displayType;
  const std::optional<TypeFamily> family = FamilyOfType(current);
  if (!family) {
    ui.SetStatusText(Quoted(TypeName(current)) + "型は変更できません");
    return;
  }
  const std::optional<TypeCode> chosen = ui.ChooseDisplayType(*family, columnDef.label, current);
  // A choice outside the column's width family would change how many bytes a cell covers.
  if (!chosen || *chosen == current || FamilyOfType(*chosen) != family) return;

  columnDef.displayType = *chosen;
  RefreshRecordTable(state, ui);
  ui.SetStatusText(Quoted(columnDef.label) + "の型を " + std::string(TypeName(*chosen)) +
                   " に変更しました");
}

CommandOutcome DispatchCommand(AppState& state, UserInterface& ui, int id,
                               Notification notification) {
  switch (static_cast<CommandId>(id)) {
    case CommandId::About: ShowAbout(ui); break;
    case CommandId::Exit: return CommandOutcome::Exit;
    case CommandId::Settings: ChangeSettings(state, ui); break;
    case CommandId::CsvExport: ExportCsv(state, ui); break;
    case CommandId::Font: SelectListFont(ui); break;
    case CommandId::StructSelector: SelectStructure(state, ui, notification); break;
    case CommandId::PathField: PathFieldNotify(ui, notification); break;
    case CommandId::ReadButton: ReadDataFile(state, ui); break;
    case CommandId::WriteButton: WriteDataFile(state, ui); break;
    case CommandId::BrowseButton: BrowseForDataFile(ui); break;
    default: return CommandOutcome::NotHandled;
  }
  return CommandOutcome::Handled;
}
