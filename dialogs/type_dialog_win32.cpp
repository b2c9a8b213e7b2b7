#include "win32/handles_win32.h"
#include "dialogs/modal_dialogs_win32.h"
#include "dialogs/radio_dialog_win32.h"
#include "resources/resource.h"

namespace {

// What one opening of a type dialog works on: its family and the exchange fields.
struct TypeDialogData {
  const TypeFamily& family;
  AppState& state;
};

// One procedure for the three templates; the family comes with the data.
INT_PTR CALLBACK TypeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  TypeDialogData* data = DialogData<TypeDialogData>(dialog, message, lParam);
  if (data == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    StartRadioDialog(dialog, StartTypeChoice(data->family, data->state));
    return TRUE;
  }
  switch (message) {
    case WM_PAINT: {
      // The dialog's default context: the label is not in the dialog font.
      PaintDc dc(dialog);
      const std::string& caption = data->state.typeDialogCaption;
      TextOutA(dc.Get(), 14, 14, caption.data(), static_cast<int>(caption.size()));
      return FALSE;
    }
    case WM_COMMAND:
      return FinishRadioCommand(dialog, TypeChoiceCommand(data->family, data->state, LOWORD(wParam)));
    default:
      return FALSE;
  }
}

}  // namespace

int RunTypeDialog(HINSTANCE instance, HWND owner, const TypeFamily& family, AppState& state) {
  TypeDialogData data{family, state};
  return static_cast<int>(DialogBoxParamA(instance,
                                          MAKEINTRESOURCEA(static_cast<int>(family.dialog)), owner,
                                          TypeDlgProc, reinterpret_cast<LPARAM>(&data)));
}
