#include <array>

#include "win32/dpi_win32.h"
#include "win32/handles_win32.h"
#include "dialogs/modal_dialogs_win32.h"
#include "resources/resource.h"

namespace {

// The field's text buffer: 1023 bytes and the terminating zero.
constexpr std::size_t kEditTextCapacity = 1024;

struct ItemEditData {
  std::string caption;
  std::string shown;
  std::array<char, kEditTextCapacity> typed{};
};

INT_PTR CALLBACK ItemEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ItemEditData* data = DialogData<ItemEditData>(dialog, message, lParam);
  if (data == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, IDC_ITEM_VALUE, data->shown.c_str());
    return TRUE;  // the focus goes to the value field, the first tab stop
  }
  switch (message) {
    case WM_PAINT: {
      // The dialog's default context: the caption is not in the dialog font.
      PaintDc dc(dialog);
      TextOutA(dc.Get(), ScaleToDpi(10), ScaleToDpi(10), data->caption.data(),
               static_cast<int>(data->caption.size()));
      return FALSE;
    }
    case WM_COMMAND: {
      const auto takeText = [dialog, data] {
        GetDlgItemTextA(dialog, IDC_ITEM_VALUE, data->typed.data(),
                        static_cast<int>(data->typed.size()));
      };
      return EndOnOkOrCancel(dialog, LOWORD(wParam), takeText) ? TRUE : FALSE;
    }
    default: return FALSE;
  }
}

}  // namespace

std::optional<std::string> RunItemEditDialog(HINSTANCE instance, HWND owner,
                                             std::string_view caption, std::string_view shown) {
  // The field shows at most what its buffer holds.
  ItemEditData data{std::string(caption), std::string(shown.substr(0, kEditTextCapacity - 1)), {}};
  if (!RunModal(instance, owner, IDD_ITEM_EDIT, ItemEditDlgProc, data)) return std::nullopt;
  return std::string(data.typed.data());
}
