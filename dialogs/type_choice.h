#pragma once

#include <optional>

#include "dialogs/dialog_choice.h"
#include "structdef/type_model.h"

// One opening of a type change dialog: the column's type and the type the radios now choose.
struct TypeChoice {
  TypeFamily family;
  TypeCode current;
  TypeCode chosen;
};

// WM_INITDIALOG: starts the choice from the current type and says which radio to mark, or
// gives the "型が異常です(...)" error when the current type is not in the family.
RadioDialogStart StartTypeChoice(TypeChoice& choice);
// WM_COMMAND by control id: a radio click chooses its type; OK ends keeping the choice; CANCEL
// puts it back to the current type.
DialogCommandOutcome TypeChoiceCommand(TypeChoice& choice, int controlId);
