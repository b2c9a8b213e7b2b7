#pragma once

// velmora.exe started in a temporary folder and met as its user meets it: the main window's
// controls by their ids, the menu commands, the record list and the modal windows it opens.

#include <gmock/gmock.h>

#include <string>
#include <string_view>
#include <vector>

#include "driver_win32.h"
#include "test_support.h"

namespace e2e {

// Control ids of the main window and of the dialogs, and the menu commands.
namespace ids {
inline constexpr int kSelector = 150, kPathField = 151, kReadButton = 152, kWriteButton = 153;
inline constexpr int kRecordList = 154, kBrowseButton = 155, kStatusLine = 156;
inline constexpr int kAbout = 104, kExit = 105, kSettings = 110, kCsvExport = 111;
inline constexpr int kOk = 1, kCancel = 2, kYes = 6, kNo = 7;
inline constexpr int kDialogField = 141;  // item edit value, CSV path
inline constexpr int kFirstRadio = 141;   // settings and type change radio buttons
inline constexpr int kCsvColumns = 143;
}  // namespace ids

using ::testing::AssertionResult;
using ::testing::ElementsAre;

// How the program quotes paths, labels and keywords in its texts.
inline std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The main test structure and data. Item is 16 bytes; Pair lays the same bytes out as 12-byte
// records.
extern const char kItemPairDef[];
std::string ItemData();

// Whatever a test leaves open is reported and the process is ended, so one failure never leaks
// into the next test.
class VelmoraE2eTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Writes struct.def (CP932 bytes as given) into `folder`, the test's folder by default.
  void WriteStructDef(std::string_view text, const std::string& folder = {});
  std::string Folder() const { return dir_.Path(); }
  std::string PathIn(std::string_view name) const { return dir_.File(name); }

  // Starts the program in `folder` (the test's by default) and waits for its main window, which
  // stays hidden behind start-up message boxes; Shown waits until it is shown and idle.
  AssertionResult Launch(const std::string& folder = {});
  AssertionResult Shown();
  AssertionResult Start(const std::string& folder = {}) {
    auto launched = Launch(folder);
    return launched ? Shown() : launched;
  }
  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  HWND List() const { return Control(ids::kRecordList); }
  std::string Status() const { return WindowText(Control(ids::kStatusLine)); }
  std::vector<std::string> Structures() const { return ComboItems(Control(ids::kSelector)); }
  std::vector<std::string> Headers() const { return ListRowTexts(List(), -1); }
  int RowCount() const { return ListRowCount(List()); }
  std::vector<std::string> Row(int row) const { return ListRowTexts(List(), row); }
  std::string Cell(int row, int column) const { return ListCellText(List(), row, column); }

  // Waits until the main window has handled everything sent before.
  AssertionResult Settle() const;
  // Picks a structure as from the selector's drop-down list and waits until it is handled.
  AssertionResult SelectStructure(int index);
  // Types `path` and clicks the read or write button; then Read and Write expect the report in
  // the status line.
  AssertionResult Press(int button, const std::string& path);
  AssertionResult Read(const std::string& path) {
    auto pressed = Press(ids::kReadButton, path);
    return pressed ? StatusIs("データ" + Quoted(path) + "を読み込みました") : pressed;
  }
  AssertionResult Write(const std::string& path) {
    auto pressed = Press(ids::kWriteButton, path);
    return pressed ? StatusIs("データを" + Quoted(path) + "に書き込みました") : pressed;
  }

  // Waits for the modal window with `caption` after sending menu command `id` (0: none).
  AssertionResult OpenDialog(int id, std::string_view caption, ModalWindow& dialog);
  // Clicks button `id` of a modal window and waits until it has gone and the main window has
  // finished the command that opened it.
  AssertionResult Answer(const ModalWindow& modal, int id);
  // Expects a message box with this caption and text and closes it with `button`.
  AssertionResult AnswerBox(std::string_view caption, std::string_view text,
                            int button = ids::kOk);
  // Double-clicks a cell, expects the item edit dialog with `shown` in its field, types `typed`
  // and closes it with `button`.
  AssertionResult EditCell(int row, int column, std::string_view shown, std::string_view typed,
                           int button = ids::kOk);
  // Clicks a column header, expects the type change dialog with radio button `marked` (0 to 2)
  // as the only mark, clicks the radio buttons `clicks` in order and closes with `button`.
  AssertionResult ChangeType(int column, int marked, std::vector<int> clicks,
                             int button = ids::kOk);
  // Waits for the status line to read `expected`.
  AssertionResult StatusIs(std::string_view expected);
  // No modal window shows up after the program has handled its input (a negative check needs
  // a short grace period: input is queued behind what the program is doing).
  AssertionResult NoModalAppears();
  // "; open: ..." for each modal window, for failure messages.
  std::string OpenModals() const;

  TempDir dir_;
  Process process_;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

}  // namespace e2e
