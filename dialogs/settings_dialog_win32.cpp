#include "dialogs/modal_dialogs_win32.h"
#include "dialogs/radio_dialog_win32.h"
#include "dialogs/settings_choice.h"
#include "resources/resource.h"

namespace {

AppState* DialogState(HWND dialog) {
  return reinterpret_cast<AppState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    StartRadioDialog(dialog, StartSettingsChoice(*DialogState(dialog)));
    return TRUE;
  }
  AppState* state = DialogState(dialog);
  if (state == nullptr || message != WM_COMMAND) return FALSE;
  return FinishRadioCommand(dialog, SettingsChoiceCommand(*state, LOWORD(wParam)));
}

}  // namespace

int RunSettingsDialog(HINSTANCE instance, HWND owner, AppState& state) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                          SettingsDlgProc, reinterpret_cast<LPARAM>(&state)));
}
