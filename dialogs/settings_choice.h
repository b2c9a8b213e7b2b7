#pragma once

#include "app/app_state.h"
#include "dialogs/dialog_choice.h"

// WM_INITDIALOG: radio 141 for noBase 0, 142 for 1, otherwise the "No.初期数設定値が異常です(...)"
// error and an immediate CANCEL.
RadioDialogStart StartSettingsChoice(const AppState& state);
// WM_COMMAND by control id: 141 and 142 write noBase at once (CANCEL does not undo it); OK and
// CANCEL end the dialog with their id.
DialogCommandOutcome SettingsChoiceCommand(AppState& state, int controlId);
