#include "dialogs/settings_choice.h"

#include "records/value_format.h"
#include "resources/messages.h"
#include "resources/resource.h"

RadioDialogStart StartSettingsChoice(std::int32_t noBase) {
  RadioDialogStart start;
  if (noBase == 0) {
    start.checkedRadio = IDC_NO_BASE_ZERO;
  } else if (noBase == 1) {
    start.checkedRadio = IDC_NO_BASE_ONE;
  } else {
    start.errorText = texts::BadNoBase(ToSignedDecimalText(noBase));
    start.endsAtOnce = true;
  }
  return start;
}

DialogCommandOutcome SettingsChoiceCommand(std::int32_t& noBase, int controlId) {
  switch (controlId) {
    case IDC_NO_BASE_ZERO: noBase = 0; return {true, std::nullopt};
    case IDC_NO_BASE_ONE: noBase = 1; return {true, std::nullopt};
    case static_cast<int>(DialogEnd::Ok):
    case static_cast<int>(DialogEnd::Cancel): return {true, static_cast<DialogEnd>(controlId)};
    default: return {false, std::nullopt};
  }
}
