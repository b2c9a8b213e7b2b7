#include <array>
#include <string>

#include "win32/common_dialogs_win32.h"
#include "dialogs/modal_dialogs_win32.h"
#include "resources/resource.h"

namespace {

struct ExportDialogData {
  std::span<const std::string> labels;
  ExportChoice choice;
};

// Lists every column, each selected; the path field starts empty.
void OnExportInit(HWND dialog, const ExportDialogData& data) {
  const HWND columnList = GetDlgItem(dialog, IDC_CSV_COLUMNS);
  // Up to 65,536 labels: storage taken once and no redraw per label.
  std::size_t textBytes = 0;
  for (const std::string& label : data.labels) textBytes += label.size() + 1;
  SendMessageA(columnList, WM_SETREDRAW, FALSE, 0);
  SendMessageA(columnList, LB_INITSTORAGE, data.labels.size(), static_cast<LPARAM>(textBytes));
  for (const std::string& label : data.labels) {
    SendMessageA(columnList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
  }
  SendMessageA(columnList, LB_SETSEL, TRUE, -1);  // -1: every item
  SendMessageA(columnList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(columnList, nullptr, TRUE);
}

void OnExportBrowse(HWND dialog) {
  if (const auto path = ChooseCsvFile(dialog)) SetDlgItemTextA(dialog, IDC_CSV_PATH, path->c_str());
}

void TakeExportChoice(HWND dialog, ExportDialogData& data) {
  std::array<char, kCsvPathCapacity> path{};
  GetDlgItemTextA(dialog, IDC_CSV_PATH, path.data(), static_cast<int>(path.size()));
  const HWND columnList = GetDlgItem(dialog, IDC_CSV_COLUMNS);
  data.choice =
      AcceptExportChoice(path.data(), data.labels.size(), [columnList](std::int32_t item) {
        return SendMessageA(columnList, LB_GETSEL, static_cast<WPARAM>(item), 0) > 0;
      });
}

INT_PTR CALLBACK ExportDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ExportDialogData* data = DialogData<ExportDialogData>(dialog, message, lParam);
  if (data == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    OnExportInit(dialog, *data);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDC_CSV_BROWSE) {
    OnExportBrowse(dialog);
    return TRUE;
  }
  // The list box's own notifications are not handled.
  return EndOnOkOrCancel(dialog, id, [dialog, data] { TakeExportChoice(dialog, *data); }) ? TRUE
                                                                                          : FALSE;
}

}  // namespace

std::optional<ExportChoice> RunExportDialog(HINSTANCE instance, HWND owner,
                                            std::span<const std::string> labels) {
  ExportDialogData data{labels, {}};
  if (!RunModal(instance, owner, IDD_CSV_EXPORT, ExportDlgProc, data)) return std::nullopt;
  return std::move(data.choice);
}
