#include "win32/record_list_control_win32.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "resources/messages.h"
#include "win32/dpi_win32.h"

bool RecordListControl::DeleteAllItems() {
  return SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0) != 0;
}

void RecordListControl::DeleteColumn(int index) {
  SendMessageA(list_, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0);
}

void RecordListControl::InsertColumn(int index, std::string_view label, int width) {
  std::string text(label);  // the list wants it zero-terminated
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_CENTER;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

namespace {

std::optional<int> TextWidth(HDC dc, std::string_view text) {
  SIZE size{};
  if (dc == nullptr ||
      !GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size)) {
    return std::nullopt;
  }
  return size.cx;
}

}  // namespace

std::optional<int> RecordListControl::MeasureTextWidth(std::string_view text) {
  // A context with nothing selected into it: widths follow its default font, not the font set
  // on the list. Getting one costs more than measuring in it, so a pause keeps one.
  if (pausedDc_) return TextWidth(pausedDc_->Get(), text);
  WindowDc dc(list_);
  return TextWidth(dc.Get(), text);
}

int RecordListControl::ScaledPixels(int pixels) { return ScaleToDpi(pixels); }

void RecordListControl::SuspendRedraw() {
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  pausedDc_.emplace(list_);
}

void RecordListControl::ResumeRedraw() {
  pausedDc_.reset();
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

std::string RowLimitMessage(std::uint32_t rowCount) {
  return texts::RowLimit(std::to_string(rowCount), std::to_string(kMaxListRows));
}

void RecordListControl::ShowRows(std::uint32_t rowCount) {
  const std::uint32_t shown = ShownRowCount(rowCount);
  SendMessageA(list_, LVM_SETITEMCOUNT, shown, 0);
  InvalidateRect(list_, nullptr, TRUE);
  if (shown < rowCount) {
    MessageBoxA(owner_, RowLimitMessage(rowCount).c_str(),
                std::string(texts::kRowLimitCaption).c_str(), MB_OK);
  }
}

bool RecordListControl::UpdateCell(std::uint32_t row, int /*column*/) {
  if (row >= static_cast<std::uint32_t>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0))) return false;
  return SendMessageA(list_, LVM_REDRAWITEMS, row, row) != 0;
}

void AnswerDisplayInfo(const RecordTable& table, NMLVDISPINFOA& info) {
  LVITEMA& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = '\0';
  if (item.iItem < 0 || static_cast<std::uint32_t>(item.iItem) >= table.RowCount() ||
      item.iSubItem < 0 || item.iSubItem >= table.ColumnCount()) {
    return;
  }
  thread_local std::string text;  // reused: a screen of cells costs no allocation
  table.CellText(static_cast<std::uint32_t>(item.iItem), item.iSubItem, text);
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
  std::memcpy(item.pszText, text.data(), count);
  item.pszText[count] = '\0';
}

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Matches(std::string_view cell, std::string_view wanted, bool partial) {
  if (partial ? cell.size() < wanted.size() : cell.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (AsciiLower(cell[i]) != AsciiLower(wanted[i])) return false;
  }
  return true;
}

int FindRow(const RecordTable& table, std::string_view wanted, int start, UINT flags) {
  const std::uint32_t rows = ShownRowCount(table.RowCount());
  if (rows == 0 || table.ColumnCount() == 0) return -1;
  const bool partial = (flags & LVFI_PARTIAL) != 0;
  const std::uint32_t first = (start < 0 || static_cast<std::uint32_t>(start) >= rows)
                                  ? 0
                                  : static_cast<std::uint32_t>(start);
  const std::uint32_t span = (flags & LVFI_WRAP) != 0 ? rows : rows - first;
  std::string cell;
  for (std::uint32_t step = 0; step < span; ++step) {
    const std::uint32_t row = (first + step) % rows;
    table.CellText(row, 0, cell);
    if (Matches(cell, wanted, partial)) return static_cast<int>(row);
  }
  return -1;
}

}  // namespace

int FindRowByFirstColumn(const RecordTable& table, const NMLVFINDITEMA& find) {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  return FindRow(table, find.lvfi.psz, find.iStart, find.lvfi.flags);
}

int FindRowByFirstColumn(const RecordTable& table, const NMLVFINDITEMW& find) {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  const int size = WideCharToMultiByte(932, 0, find.lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return -1;
  std::string wanted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(932, 0, find.lvfi.psz, -1, wanted.data(), size, nullptr, nullptr);
  wanted.resize(static_cast<std::size_t>(size) - 1);
  return FindRow(table, wanted, find.iStart, find.lvfi.flags);
}
