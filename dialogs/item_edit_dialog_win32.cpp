#include "win32/handles_win32.h"
#include "dialogs/modal_dialogs_win32.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK ItemEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState* state = DialogData<AppState>(dialog, message, lParam);
  if (state == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    if (state->editText) SetDlgItemTextA(dialog, IDC_ITEM_VALUE, state->editText.get());
    return TRUE;  // the focus goes to the value field, the first tab stop
  }
  switch (message) {
    case WM_PAINT: {
      // The dialog's default context: the caption is not in the dialog font.
      PaintDc dc(dialog);
      const std::string& caption = state->editCaption;
      TextOutA(dc.Get(), 10, 10, caption.data(), static_cast<int>(caption.size()));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          // Without the caller's buffer there is nowhere to put the text: stay open.
          if (state->editText) {
            GetDlgItemTextA(dialog, IDC_ITEM_VALUE, state->editText.get(),
                            static_cast<int>(kEditTextCapacity));
            EndDialog(dialog, IDOK);
          }
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

int RunItemEditDialog(HINSTANCE instance, HWND owner, AppState& state) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ITEM_EDIT), owner,
                                          ItemEditDlgProc, reinterpret_cast<LPARAM>(&state)));
}
