#pragma once

#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/user_interface.h"
#include "resources/resource.h"

// One procedure per command and list notification of the main window, from the user's action
// to the status text. The window procedure unpacks its message and calls one of these; none of
// them touches a window except through the UserInterface.

// The working directory at start, or nothing when it cannot be queried (or does not fit the
// 260-byte path buffer).
std::optional<std::string> CurrentWorkingDirectory();

// WM_CREATE once the controls exist: captures the working directory (a box on failure), lists
// the structure names into the selector, reports on the status line, selects the first name
// and applies it.
void StartUp(AppState& state, UserInterface& ui);
// Same with the working directory given (nullopt: the query failed).
void StartUp(AppState& state, UserInterface& ui,
             const std::optional<std::string>& workingDirectory);

// Loads the structure named in the selector, rebuilds the columns and refills the rows over the
// unchanged data.
void ApplySelectedStructure(AppState& state, UserInterface& ui);
// Empties the list (a box when it refuses, then goes on), refreshes the table, shows the rows.
void RefreshRecordTable(AppState& state, UserInterface& ui);

// A control's notification as the flows know it: the shell names the window system's codes.
enum class ControlEvent {
  Other,             // a menu command, a button click or a code the flows do not name
  SelectionChanged,  // the structure selector's choice changed
  EditFocusGained,   // the path field's notifications
  EditFocusLost,
  EditChanged,
  EditUpdated,
};
struct Notification {
  ControlEvent event = ControlEvent::Other;
  int code = 0;  // the window system's own code, for a report of one the flows do not expect
};

// WM_COMMAND handlers.
void SelectStructure(AppState& state, UserInterface& ui, Notification notification);
void PathFieldNotify(UserInterface& ui, Notification notification);
void ReadDataFile(AppState& state, UserInterface& ui);
void WriteDataFile(AppState& state, UserInterface& ui);
void BrowseForDataFile(UserInterface& ui);
void ShowAbout(UserInterface& ui);
void ChangeSettings(AppState& state, UserInterface& ui);
void ExportCsv(AppState& state, UserInterface& ui);
// Not "ChooseFont": <windows.h> defines that name as a macro.
void SelectListFont(UserInterface& ui);

// Record list notifications (IDC_RECORD_LIST). Rows count from 0 in display order, columns from 0
// including the two fixed ones; indexes outside the table or the ColumnList do nothing.
void EditCell(AppState& state, UserInterface& ui, int row, int column);  // NM_DBLCLK
void ChangeColumnType(AppState& state, UserInterface& ui, int column);   // LVN_COLUMNCLICK

// Menu and control ids of the main window's WM_COMMAND.
enum class CommandId : int {
  About = IDM_ABOUT,
  Exit = IDM_EXIT,
  Settings = IDM_SETTINGS,
  CsvExport = IDM_CSV_EXPORT,
  Font = IDM_FONT,
  StructSelector = IDC_STRUCT_SELECTOR,
  PathField = IDC_PATH_FIELD,
  ReadButton = IDC_READ_BUTTON,
  WriteButton = IDC_WRITE_BUTTON,
  BrowseButton = IDC_BROWSE_BUTTON,
};

enum class CommandOutcome {
  Handled,     // the window procedure returns 0
  Exit,        // the shell destroys the main window, then returns 0
  NotHandled,  // the shell returns DefWindowProcA's result
};

// The WM_COMMAND table: runs the handler of `id`.
CommandOutcome DispatchCommand(AppState& state, UserInterface& ui, int id,
                               Notification notification);
