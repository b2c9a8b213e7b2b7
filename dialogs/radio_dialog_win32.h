#pragma once

#include <windows.h>

#include <string>

#include "dialogs/dialog_choice.h"
#include "resources/messages.h"

// The Windows half of the settings and type change dialogs, whose choice logic is portable.

// WM_INITDIALOG: marks the starting radio button, or reports a bad value and ends with CANCEL.
inline void StartRadioDialog(HWND dialog, const RadioDialogStart& start) {
  if (start.checkedRadio != 0) SendDlgItemMessageA(dialog, start.checkedRadio, BM_SETCHECK, 1, 0);
  if (!start.errorText.empty()) {
    MessageBoxA(dialog, start.errorText.c_str(), std::string(texts::kDialogErrorCaption).c_str(),
                MB_OK);
  }
  if (start.endsAtOnce) EndDialog(dialog, static_cast<INT_PTR>(DialogEnd::Cancel));
}

// WM_COMMAND: ends the dialog when the choice logic says so; the procedure's result.
inline INT_PTR FinishRadioCommand(HWND dialog, const DialogCommandOutcome& outcome) {
  if (outcome.end) EndDialog(dialog, static_cast<INT_PTR>(*outcome.end));
  return outcome.handled ? TRUE : FALSE;
}
