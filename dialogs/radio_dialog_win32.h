#pragma once

#include <windows.h>

#include <string>

#include "dialogs/dialog_choice.h"
#include "dialogs/modal_dialogs_win32.h"
#include "resources/messages.h"

// The Windows half of the settings and type change dialogs, whose choice logic is portable.

// WM_INITDIALOG: marks the starting radio button, or reports a bad value and ends with CANCEL.
inline void StartRadioDialog(HWND dialog, const RadioDialogStart& start) {
  if (start.checkedRadio != 0) SendDlgItemMessageA(dialog, start.checkedRadio, BM_SETCHECK, 1, 0);
  if (!start.errorText.empty()) {
    MessageBoxA(dialog, start.errorText.c_str(), std::string(texts::kDialogErrorCaption).c_str(),
                MB_OK);
  }
  if (start.endsAtOnce) EndOnOkOrCancel(dialog, IDCANCEL);
}

// WM_COMMAND: ends the dialog as every dialog ends when the choice logic says so (its OK and
// CANCEL have done their part); the procedure's result.
inline INT_PTR FinishRadioCommand(HWND dialog, const DialogCommandOutcome& outcome) {
  if (outcome.end) EndOnOkOrCancel(dialog, static_cast<int>(*outcome.end));
  return outcome.handled ? TRUE : FALSE;
}
