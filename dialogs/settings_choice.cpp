#include "dialogs/settings_choice.h"

#include "records/value_format.h"

RadioDialogStart StartSettingsChoice(const AppState& state) {
  RadioDialogStart start;
  if (state.noBase == 0) {
    start.checkedRadio = kRadioFirst;
  } else if (state.noBase == 1) {
    start.checkedRadio = kRadioSecond;
  } else {
    start.errorText = "No.初期数設定値が異常です(" + ToSignedDecimalText(state.noBase) + ")";
    start.endsAtOnce = true;
  }
  return start;
}

DialogCommandOutcome SettingsChoiceCommand(AppState& state, int controlId) {
  switch (controlId) {
    case kRadioFirst:
      state.noBase = 0;
      return {true, 0};
    case kRadioSecond:
      state.noBase = 1;
      return {true, 0};
    case 1:
    case 2:
      return {true, controlId};
    default:
      return {false, 0};
  }
}
