#include "dialogs/type_choice.h"

#include "records/value_format.h"

namespace {

TypeCode FamilyMember(const TypeFamily& family, int step) {
  return static_cast<TypeCode>(static_cast<std::int32_t>(family.base) + step);
}

}  // namespace

std::optional<TypeFamily> FamilyOfType(TypeCode type) {
  for (const TypeFamily& family : kTypeFamilies) {
    for (int step = 0; step < 3; ++step) {
      if (FamilyMember(family, step) == type) return family;
    }
  }
  return std::nullopt;
}

std::optional<TypeFamily> FamilyOfDialog(DialogId dialog) {
  for (const TypeFamily& family : kTypeFamilies) {
    if (family.dialog == dialog) return family;
  }
  return std::nullopt;
}

RadioDialogStart StartTypeChoice(const TypeFamily& family, AppState& state) {
  RadioDialogStart start;
  for (int step = 0; step < 3; ++step) {
    if (FamilyMember(family, step) == state.currentType) start.checkedRadio = kRadioFirst + step;
  }
  if (start.checkedRadio == 0) {
    start.errorText = "型が異常です(" +
                      ToSignedDecimalText(static_cast<std::int32_t>(state.currentType)) + ")";
    start.endsAtOnce = true;
  }
  // Every opening starts from the column's own type, so no earlier choice carries over.
  state.chosenType = state.currentType;
  return start;
}

DialogCommandOutcome TypeChoiceCommand(const TypeFamily& family, AppState& state, int controlId) {
  switch (controlId) {
    case kRadioFirst:
    case kRadioSecond:
    case kRadioThird:
      state.chosenType = FamilyMember(family, controlId - kRadioFirst);
      return {true, 0};
    case 1:
      return {true, 1};
    case 2:
      state.chosenType = state.currentType;
      return {true, 2};
    default:
      return {false, 0};
  }
}
