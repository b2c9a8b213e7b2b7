#include "dialogs/modal_dialogs_win32.h"
#include "dialogs/radio_dialog_win32.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  std::int32_t* noBase = DialogData<std::int32_t>(dialog, message, lParam);
  if (noBase == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    StartRadioDialog(dialog, StartSettingsChoice(*noBase));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  return FinishRadioCommand(dialog, SettingsChoiceCommand(*noBase, LOWORD(wParam)));
}

}  // namespace

NumberingChoice RunSettingsDialog(HINSTANCE instance, HWND owner, std::int32_t noBase) {
  NumberingChoice choice{noBase, false};
  choice.accepted = RunModal(instance, owner, IDD_SETTINGS, SettingsDlgProc, choice.noBase);
  return choice;
}
