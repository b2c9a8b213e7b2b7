#pragma once

#include <optional>

#include "dialogs/dialog_choice.h"
#include "structdef/type_model.h"

// The width families of the number types; each has its own type change dialog, whose three
// radios stand for the family's unsigned, signed and hexadecimal type.
enum class TypeFamily { Byte, Word, Long };

// The family of a display type; none for String, Void and unknown codes (no dialog).
std::optional<TypeFamily> FamilyOfType(TypeCode type);

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
