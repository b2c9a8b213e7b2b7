#include "win32/dpi_win32.h"
#include "win32/handles_win32.h"
#include "dialogs/modal_dialogs_win32.h"
#include "dialogs/radio_dialog_win32.h"
#include "resources/resource.h"

namespace {

// What one opening of a type dialog shows and chooses.
struct TypeDialogData {
  std::string label;
  TypeChoice choice;
};

int TemplateOf(TypeFamily family) {
  switch (family) {
    case TypeFamily::Byte: return IDD_BYTE_TYPE;
    case TypeFamily::Word: return IDD_WORD_TYPE;
    case TypeFamily::Long: break;
  }
  return IDD_LONG_TYPE;
}

// One procedure for the three templates; the family comes with the data.
INT_PTR CALLBACK TypeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  TypeDialogData* data = DialogData<TypeDialogData>(dialog, message, lParam);
  if (data == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    StartRadioDialog(dialog, StartTypeChoice(data->choice));
    return TRUE;
  }
  switch (message) {
    case WM_PAINT: {
      // The dialog's default context: the label is not in the dialog font.
      PaintDc dc(dialog);
      TextOutA(dc.Get(), ScaleToDpi(14), ScaleToDpi(14), data->label.data(),
               static_cast<int>(data->label.size()));
      return FALSE;
    }
    case WM_COMMAND:
      return FinishRadioCommand(dialog, TypeChoiceCommand(data->choice, LOWORD(wParam)));
    default: return FALSE;
  }
}

}  // namespace

std::optional<TypeCode> RunTypeDialog(HINSTANCE instance, HWND owner, TypeFamily family,
                                      std::string_view label, TypeCode current) {
  TypeDialogData data{std::string(label), {family, current, current}};
  if (!RunModal(instance, owner, TemplateOf(family), TypeDlgProc, data)) return std::nullopt;
  return data.choice.chosen;
}
