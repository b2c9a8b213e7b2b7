#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "dialogs/type_choice.h"

// Each runs its dialog modally over `owner` and returns the dialog's result (kDialogOk,
// kDialogCancel). The data a dialog exchanges travels through the AppState fields named at its
// function: the caller sets them before and reads them after.

int RunAboutDialog(HINSTANCE instance, HWND owner);
// noBase: written at once by each radio click, also when the dialog is then cancelled.
int RunSettingsDialog(HINSTANCE instance, HWND owner, AppState& state);
// Reads columns and lastColumnIndex; on OK writes csvPath and csvSelection.
int RunExportDialog(HINSTANCE instance, HWND owner, AppState& state);
// Paints editCaption; shows editText and, on OK, copies the typed text back into it.
int RunItemEditDialog(HINSTANCE instance, HWND owner, AppState& state);
// Paints typeDialogCaption; starts on currentType and leaves the choice in chosenType.
int RunTypeDialog(HINSTANCE instance, HWND owner, const TypeFamily& family, AppState& state);

// A dialog's data arrives as DialogBoxParamA's parameter and stays in the dialog's user slot
// from WM_INITDIALOG on; null for the few messages that come before it.
template <typename Data>
Data* DialogData(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  return reinterpret_cast<Data*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
