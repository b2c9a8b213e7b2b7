#include "dialogs/modal_dialogs_win32.h"
#include "dialogs/radio_dialog_win32.h"
#include "dialogs/settings_choice.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState* state = DialogData<AppState>(dialog, message, lParam);
  if (state == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    StartRadioDialog(dialog, StartSettingsChoice(*state));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  return FinishRadioCommand(dialog, SettingsChoiceCommand(*state, LOWORD(wParam)));
}

}  // namespace

int RunSettingsDialog(HINSTANCE instance, HWND owner, AppState& state) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                          SettingsDlgProc, reinterpret_cast<LPARAM>(&state)));
}
