#include "app/main_flows.h"

#include <sys/stat.h>

#include <array>

#include "export/csv_writer.h"
#include "dialogs/type_choice.h"
#include "records/list_view_columns.h"
#include "records/value_format.h"
#include "records/value_parse.h"
#include "resources/messages.h"
#include "structdef/record_layout.h"
#include "structdef/definition_parser.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace {

MessageSink MessagesOf(UserInterface& ui) {
  return [&ui](std::string_view text, std::string_view caption) { ui.ShowMessage(text, caption); };
}

bool PathExists(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0;
}

bool IsMemberCell(const AppState& state, int row, int column) {
  return row >= 0 && static_cast<std::uint32_t>(row) < state.table.RowCount() && column >= 0 &&
         static_cast<std::size_t>(column) < state.columns.size() &&
         state.columns[static_cast<std::size_t>(column)].kind == ColumnKind::Member &&
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
    ui.ShowMessage(texts::kNoWorkingDirectory, texts::kNoWorkingDirectoryCaption);
  }
  const DefinitionRead listed =
      ListStructNames(StructDefPath(state.currentDirectory),
                      [&ui](std::string_view name) { ui.AddStructName(name); });
  ui.SetStatusText(listed == DefinitionRead::Read ? texts::kDefinitionsRead
                                                  : texts::kDefinitionsUnreadable);
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
  if (!list.DeleteAllItems())
    ui.ShowMessage(texts::kTableInitFailed, texts::kTableInitFailedCaption);
  list.ShowRows(state.table.RowCount());
}

void SelectStructure(AppState& state, UserInterface& ui, Notification notification) {
  if (notification.event == ControlEvent::SelectionChanged) ApplySelectedStructure(state, ui);
}

void PathFieldNotify(UserInterface& ui, Notification notification) {
  if (notification.event != ControlEvent::Other) return;
  ui.ShowMessage(ToSignedDecimalText(notification.code), texts::kEditEventCaption);
}

void ReadDataFile(AppState& state, UserInterface& ui) {
  const std::string path = ui.PathFieldText();
  if (path.empty()) return;
  if (!LoadDataFile(state.dataBuffer, path)) {
    ui.ShowMessage(path, texts::kReadFailedCaption);
    return;
  }
  RefreshRecordTable(state, ui);
  ui.SetStatusText(texts::DataRead(path));
}

void WriteDataFile(AppState& state, UserInterface& ui) {
  const std::string path = ui.PathFieldText();
  if (path.empty()) return;
  if (!state.dataBuffer.HasBytes()) {
    ui.ShowMessage(texts::kNoData, texts::kNoDataCaption);
    return;
  }
  if (!SaveDataFile(state.dataBuffer, path)) {
    ui.ShowMessage(path, texts::kWriteFailedCaption);
    return;
  }
  ui.SetStatusText(texts::DataWritten(path));
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
    ui.SetStatusText(texts::kExportPathEmpty);
    return;
  }
  // The window asks before replacing what is there, a file or not; the writer never asks.
  if (PathExists(choice->path) &&
      !ui.AskYesNo(texts::OverwriteQuestion(choice->path), texts::kOverwriteCaption)) {
    return;
  }
  if (WriteCsv(choice->path, state.table, state.columns, choice->columns)) {
    ui.SetStatusText(texts::Exported(choice->path));
  } else {
    ui.SetStatusText(texts::ExportFailed(choice->path));
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
  const std::string caption = texts::EditCaption(ToSignedDecimalText(row), columnDef.label,
                                                 TypeName(columnDef.displayType));
  const std::optional<std::string> typed = ui.EditCellText(caption, shown);
  if (!typed) return;
  if (StoreCellValue(state.dataBuffer, state.structDef, state.columns, *typed, column, record) !=
      StoreResult::Stored) {
    ui.SetStatusText(texts::kEditOutsideData);
    return;
  }
  state.table.SetEditedText(record, column, *typed);
  if (!ui.RecordList().UpdateCell(record, column)) {
    // The value is stored, but the cell keeps showing what it showed before.
    state.table.SetEditedText(record, column, shown);
    ui.ShowMessage(*typed, texts::kEditNotShown);
    ui.SetStatusText(texts::kEditNotShown);
  }
}

void ChangeColumnType(AppState& state, UserInterface& ui, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= state.columns.size()) return;
  ColumnDef& columnDef = state.columns[static_cast<std::size_t>(column)];
  const TypeCode current = columnDef.displayType;
  const std::optional<TypeFamily> family = FamilyOfType(current);
  if (!family) {
    ui.SetStatusText(texts::TypeCannotChange(TypeName(current)));
    return;
  }
  const std::optional<TypeCode> chosen = ui.ChooseDisplayType(*family, columnDef.label, current);
  if (!chosen || *chosen == current || CheckRetype(current, *chosen) != Retype::Allowed) return;

  columnDef.displayType = *chosen;
  RefreshRecordTable(state, ui);
  ui.SetStatusText(texts::TypeChanged(columnDef.label, TypeName(*chosen)));
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
