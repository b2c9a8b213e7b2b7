#include "app/main_window_win32.h"

#include <commctrl.h>

#include <cstring>
#include <optional>

#include "app/layout.h"
#include "app/main_flows.h"
#include "app/shell_state_win32.h"
#include "app/shell_user_interface_win32.h"
#include "win32/dpi_win32.h"
#include "win32/handles_win32.h"
#include "win32/record_list_control_win32.h"
#include "resources/resource.h"

namespace {

struct ChildControl {
  HWND ShellState::*field;
  const char* className;
  const char* text;
  int id;
  ControlRect MainWindowLayout::*place;
  DWORD style;
};

// In creation order; their places are in the layout. The list is owner-data: it asks the
// RecordTable for what it shows.
const ChildControl kChildControls[] = {
    {&ShellState::structSelector, "COMBOBOX", "", IDC_STRUCT_SELECTOR,
     &MainWindowLayout::structSelector,
     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST},
    {&ShellState::pathField, "EDIT", "", IDC_PATH_FIELD, &MainWindowLayout::pathField,
     WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL},
    {&ShellState::readButton, "BUTTON", "読込", IDC_READ_BUTTON, &MainWindowLayout::readButton,
     WS_CHILD | WS_VISIBLE},
    {&ShellState::writeButton, "BUTTON", "書込", IDC_WRITE_BUTTON, &MainWindowLayout::writeButton,
     WS_CHILD | WS_VISIBLE},
    {&ShellState::browseButton, "BUTTON", "...", IDC_BROWSE_BUTTON, &MainWindowLayout::browseButton,
     WS_CHILD | WS_VISIBLE},
    {&ShellState::recordList, WC_LISTVIEWA, "", IDC_RECORD_LIST, &MainWindowLayout::recordList,
     WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA},
    {&ShellState::statusLine, "STATIC", "", IDC_STATUS_LINE, &MainWindowLayout::statusLine,
     WS_CHILD | WS_VISIBLE},
};

MainWindowLayout LayoutOf(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return LayoutMainWindow(client.right, client.bottom, ScaleToDpi);
}

ProgramState* ProgramOf(HWND hwnd) {
  return reinterpret_cast<ProgramState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Grid lines, whole-row selection and the list font; only the list gets that font.
void PrepareRecordList(const ShellState& shell) {
  const LRESULT style = SendMessageA(shell.recordList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  SendMessageA(shell.recordList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               style | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  SendMessageA(shell.recordList, WM_SETFONT, reinterpret_cast<WPARAM>(shell.listFont), TRUE);
}

void CreateChildControls(HWND hwnd, ShellState& shell) {
  const MainWindowLayout layout = LayoutOf(hwnd);
  for (const ChildControl& control : kChildControls) {
    const ControlRect& place = layout.*control.place;
    shell.*control.field = CreateWindowExA(
        0, control.className, control.text, control.style, place.x, place.y, place.width,
        place.height, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
        shell.instance, nullptr);
    if (control.field == &ShellState::recordList) PrepareRecordList(shell);
  }
}

LRESULT OnCreate(HWND hwnd, ProgramState& program) {
  ShellState& shell = program.shell;
  shell.mainWindow = hwnd;
  InitCommonControls();
  shell.listFont = static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
  CreateChildControls(hwnd, shell);
  SetWindowTextA(hwnd, kMainWindowTitle);
  ShellUserInterface ui(program.shell);
  StartUp(program.app, ui);
  return 0;
}

void OnSize(const ShellState& shell, int width, int height) {
  const MainWindowLayout layout = LayoutMainWindow(width, height, ScaleToDpi);
  for (const auto& [control, rect] : {std::pair{shell.recordList, layout.recordList},
                                      std::pair{shell.statusLine, layout.statusLine}}) {
    MoveWindow(control, rect.x, rect.y, rect.width, rect.height, TRUE);
  }
}

void OnPaint(HWND hwnd) {
  static constexpr char kSelectorLabel[] = "構造体";
  static constexpr char kPathLabel[] = "ファイル";
  const MainWindowLayout layout = LayoutOf(hwnd);
  PaintDc dc(hwnd);
  for (const auto& [at, text] :
       {std::pair{layout.selectorLabel, kSelectorLabel}, std::pair{layout.pathLabel, kPathLabel}}) {
    TextOutA(dc.Get(), at.x, at.y, text, static_cast<int>(std::strlen(text)));
  }
}

// The commands that read, write, export or refill every row.
bool IsLongCommand(int id, int code) {
  switch (id) {
    case IDM_SETTINGS:
    case IDM_CSV_EXPORT:
    case IDC_READ_BUTTON:
    case IDC_WRITE_BUTTON: return true;
    case IDC_STRUCT_SELECTOR: return code == CBN_SELCHANGE;
    default: return false;
  }
}

// The notification codes the flows act on, by name; they depend on the control that sends them.
Notification NotificationOf(int id, int code) {
  ControlEvent event = ControlEvent::Other;
  if (id == IDC_STRUCT_SELECTOR && code == CBN_SELCHANGE) event = ControlEvent::SelectionChanged;
  if (id == IDC_PATH_FIELD) {
    switch (code) {
      case EN_SETFOCUS: event = ControlEvent::EditFocusGained; break;
      case EN_KILLFOCUS: event = ControlEvent::EditFocusLost; break;
      case EN_CHANGE: event = ControlEvent::EditChanged; break;
      case EN_UPDATE: event = ControlEvent::EditUpdated; break;
      default: break;
    }
  }
  return {event, code};
}

LRESULT OnCommand(HWND hwnd, ProgramState& program, UINT message, WPARAM wParam, LPARAM lParam) {
  ShellUserInterface ui(program.shell);
  std::optional<WaitCursor> wait;
  if (IsLongCommand(LOWORD(wParam), HIWORD(wParam))) wait.emplace();
  const Notification notification = NotificationOf(LOWORD(wParam), HIWORD(wParam));
  switch (DispatchCommand(program.app, ui, LOWORD(wParam), notification)) {
    case CommandOutcome::Handled: return 0;
    case CommandOutcome::Exit: DestroyWindow(hwnd); return 0;
    case CommandOutcome::NotHandled: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Only the record list's notifications; the result is 0 except for the type-ahead search,
// which answers with the row found.
LRESULT OnNotify(ProgramState& program, const NMHDR& header) {
  if (header.idFrom != IDC_RECORD_LIST) return 0;
  const RecordTable& table = program.app.table;
  switch (header.code) {
    case LVN_GETDISPINFOA:
      AnswerDisplayInfo(table, *reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_ODFINDITEMA:
      return FindRowByFirstColumn(table, reinterpret_cast<const NMLVFINDITEMA&>(header));
    case LVN_ODFINDITEMW:
      return FindRowByFirstColumn(table, reinterpret_cast<const NMLVFINDITEMW&>(header));
    case NM_DBLCLK: {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      ShellUserInterface ui(program.shell);
      EditCell(program.app, ui, activate.iItem, activate.iSubItem);
      return 0;
    }
    case LVN_COLUMNCLICK: {
      const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
      ShellUserInterface ui(program.shell);
      WaitCursor wait;
      ChangeColumnType(program.app, ui, click.iSubItem);
      return 0;
    }
    default: return 0;
  }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  ProgramState* program = ProgramOf(hwnd);
  if (program == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);

  switch (message) {
    case WM_CREATE: return OnCreate(hwnd, *program);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_SIZE: OnSize(program->shell, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SETFOCUS: SetFocus(program->shell.structSelector); return 0;
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_NOTIFY: return OnNotify(*program, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: return OnCommand(hwnd, *program, message, wParam, lParam);
    case WM_ENABLE:  // a modal window of a command has closed: its work goes on
      if (wParam) WaitCursor::ResumeAfterModal();
      return 0;
    case WM_CTLCOLORSTATIC: return 0;  // no brush: the status line keeps the system's colours
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}
