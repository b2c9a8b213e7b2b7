#pragma once

#include <cstdint>

#include "dialogs/dialog_choice.h"

// The settings dialog's outcome. Each radio click applies at once, so a cancelled dialog still
// leaves the last clicked numbering; only OK shows it at once.
struct NumberingChoice {
  std::int32_t noBase = 0;
  bool accepted = false;
};

// WM_INITDIALOG: the radio of noBase 0 or 1, otherwise the "No.初期数設定値が異常です(...)" error
// and an immediate CANCEL.
RadioDialogStart StartSettingsChoice(std::int32_t noBase);
// WM_COMMAND by control id: the two radios write `noBase`; OK and CANCEL end the dialog.
DialogCommandOutcome SettingsChoiceCommand(std::int32_t& noBase, int controlId);
