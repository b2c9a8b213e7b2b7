#include "dialogs/type_choice.h"

#include <array>

#include "records/value_format.h"
#include "resources/messages.h"
#include "resources/resource.h"

namespace {

// In the order of FamilyTypes.
constexpr std::array<int, 3> kTypeRadios{IDC_TYPE_UNSIGNED, IDC_TYPE_SIGNED, IDC_TYPE_HEX};

}  // namespace

RadioDialogStart StartTypeChoice(TypeChoice& choice) {
  RadioDialogStart start;
  const std::array<TypeCode, 3> types = FamilyTypes(choice.family);
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (types[i] == choice.current) start.checkedRadio = kTypeRadios[i];
  }
  if (start.checkedRadio == 0) {
    start.errorText =
        texts::BadType(ToSignedDecimalText(static_cast<std::int32_t>(choice.current)));
    start.endsAtOnce = true;
  }
  // Every opening starts from the column's own type, so no earlier choice carries over.
  choice.chosen = choice.current;
  return start;
}

DialogCommandOutcome TypeChoiceCommand(TypeChoice& choice, int controlId) {
  const std::array<TypeCode, 3> types = FamilyTypes(choice.family);
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (controlId == kTypeRadios[i]) {
      choice.chosen = types[i];
      return {true, std::nullopt};
    }
  }
  switch (controlId) {
    case static_cast<int>(DialogEnd::Ok): return {true, DialogEnd::Ok};
    case static_cast<int>(DialogEnd::Cancel):
      choice.chosen = choice.current;
      return {true, DialogEnd::Cancel};
    default: return {false, std::nullopt};
  }
}
