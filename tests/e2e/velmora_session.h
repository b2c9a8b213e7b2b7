#pragma once

// One running velmora.exe as its user meets it: the main window's controls by their ids, the
// menu commands, the record list, and the modal windows it opens.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver_win32.h"

namespace e2e {

// Control ids of the main window and of the dialogs, and the menu commands.
namespace ids {
inline constexpr int kSelector = 150;
inline constexpr int kPathField = 151;
inline constexpr int kReadButton = 152;
inline constexpr int kWriteButton = 153;
inline constexpr int kRecordList = 154;
inline constexpr int kBrowseButton = 155;
inline constexpr int kStatusLine = 156;

inline constexpr int kAbout = 104;
inline constexpr int kExit = 105;
inline constexpr int kSettings = 110;
inline constexpr int kCsvExport = 111;
inline constexpr int kFont = 112;

inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
inline constexpr int kDialogField = 141;     // item edit value, CSV path
inline constexpr int kFirstRadio = 141;      // settings and type change radio buttons
inline constexpr int kCsvBrowse = 142;
inline constexpr int kCsvColumns = 143;
}  // namespace ids

// The program under test: VELMORA_EXE from the environment, else the path the build gave.
std::string VelmoraExePath();

class Velmora {
 public:
  // Starts velmora.exe in `folder` and waits until its main window exists (it may still be
  // hidden behind start-up message boxes). Null with the reason in `error`.
  static std::unique_ptr<Velmora> Launch(const std::string& folder, std::string& error);

  DWORD ProcessId() const { return process_.Id(); }
  Process& ProcessOf() { return process_; }
  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  bool WaitShown();

  std::string Title() const { return WindowText(main_); }
  std::string Status() const { return WindowText(Control(ids::kStatusLine)); }
  // Polls until the status line reads `expected`; false (the text stays as it is) otherwise.
  bool WaitStatus(std::string_view expected) const;

  std::vector<std::string> Structures() const { return ComboItems(Control(ids::kSelector)); }
  int SelectedStructure() const { return ComboSelection(Control(ids::kSelector)); }
  // Selects item `index` and sends the selector's change notification, as a pick from the
  // drop-down list does.
  bool SelectStructure(int index);

  bool TypePath(std::string_view path) { return SetWindowTextCp932(Control(ids::kPathField), path); }
  bool ClickRead() { return ClickWindow(Control(ids::kReadButton)); }
  bool ClickWrite() { return ClickWindow(Control(ids::kWriteButton)); }
  // A menu command. Notifications and commands are sent without waiting for the answer, so a
  // modal dialog they open never blocks the test; unlike a posted message, a later Settle is
  // handled after them.
  bool Command(int id);

  HWND List() const { return Control(ids::kRecordList); }
  std::vector<std::string> Headers() const { return ListColumnTexts(List()); }
  int RowCount() const { return ListRowCount(List()); }
  std::vector<std::string> Row(int row) const { return ListRowTexts(List(), row); }
  std::string Cell(int row, int column) const { return ListCellText(List(), row, column); }
  bool DoubleClickCell(int row, int column) { return ClickListCell(List(), row, column, 2); }
  bool ClickHeader(int column) { return ClickListHeader(List(), column); }

  // The modal window that the program shows next with this caption (any caption when empty).
  std::optional<ModalWindow> WaitModal(std::string_view caption = {}) const;
  std::vector<ModalWindow> OpenModals() const { return ModalWindowsOf(process_.Id()); }
  // Clicks button `id` of a modal window and waits until it has gone and the main window has
  // finished the command that opened it.
  bool Answer(const ModalWindow& modal, int id);
  // Why the last Answer failed.
  const std::string& AnswerError() const { return answerError_; }
  // Waits until the main window has handled everything sent before.
  bool Settle() const { return e2e::Settle(main_); }

  // A control's rectangle in the main window's client coordinates.
  RECT ControlRect(int id) const { return RectInParent(Control(id)); }

  // The Exit command; the process's exit code once it has ended.
  std::optional<DWORD> Exit();

 private:
  Velmora(Process process, HWND main) : process_(std::move(process)), main_(main) {}
  Process process_;
  HWND main_;
  std::string answerError_;
};

}  // namespace e2e
