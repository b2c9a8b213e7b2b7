#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/record_list_view.h"
#include "records/record_table.h"
#include "win32/handles_win32.h"

// The most items an owner-data list view holds.
inline constexpr std::uint32_t kMaxListRows = 100'000'000;

inline std::uint32_t ShownRowCount(std::uint32_t rowCount) {
  return rowCount < kMaxListRows ? rowCount : kMaxListRows;
}

// The record list as the flows see it: an owner-data SysListView32 whose cells come from the
// RecordTable (see AnswerDisplayInfo). Borrows both windows.
class RecordListControl final : public RecordListView {
 public:
  // `owner` owns the box that tells of rows past kMaxListRows.
  RecordListControl(HWND list, HWND owner) : list_(list), owner_(owner) {}

  bool DeleteAllItems() override;
  void DeleteColumn(int index) override;
  void InsertColumn(int index, std::string_view label, int width) override;
  std::optional<int> MeasureTextWidth(std::string_view text) override;
  int ScaledPixels(int pixels) override;
  // Shows at most kMaxListRows rows; past that a message box says how many are not shown.
  void ShowRows(std::uint32_t rowCount) override;
  bool UpdateCell(std::uint32_t row, int column) override;
  // WM_SETREDRAW off, and one device context for every measurement until the pause ends.
  void SuspendRedraw() override;
  // WM_SETREDRAW on and one redraw of the list with its header.
  void ResumeRedraw() override;

 private:
  HWND list_;
  HWND owner_;
  std::optional<WindowDc> pausedDc_;
};

// The text of a row-limit box: how many records there are and that only the first
// kMaxListRows are listed.
std::string RowLimitMessage(std::uint32_t rowCount);

// LVN_GETDISPINFOA: fills the requested cell text from the table.
void AnswerDisplayInfo(const RecordTable& table, NMLVDISPINFOA& info);
// LVN_ODFINDITEMA / LVN_ODFINDITEMW (type-ahead): the first row from iStart on, wrapping when
// asked, whose first-column text starts with (or, without LVFI_PARTIAL, equals) the search text,
// compared without regard to ASCII case; -1 when there is none.
int FindRowByFirstColumn(const RecordTable& table, const NMLVFINDITEMA& find);
int FindRowByFirstColumn(const RecordTable& table, const NMLVFINDITEMW& find);
