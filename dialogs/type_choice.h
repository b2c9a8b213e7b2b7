#pragma once

#include <array>
#include <optional>

#include "app/app_state.h"
#include "app/user_interface.h"
#include "dialogs/dialog_choice.h"
#include "structdef/type_model.h"

// The three display types one type change dialog offers: base (unsigned, radio 141), base + 1
// (signed, 142), base + 2 (hexadecimal, 143).
struct TypeFamily {
  DialogId dialog;
  TypeCode base;
};

inline constexpr std::array<TypeFamily, 3> kTypeFamilies{{
    {DialogId::ByteType, TypeCode::UByte},
    {DialogId::WordType, TypeCode::UWord},
    {DialogId::LongType, TypeCode::ULong},
}};

// The family of a display type; none for String, Void and unknown codes (no dialog).
std::optional<TypeFamily> FamilyOfType(TypeCode type);
// The family a type dialog template offers; none for other dialogs.
std::optional<TypeFamily> FamilyOfDialog(DialogId dialog);

// WM_INITDIALOG: sets chosenType to currentType and says which radio to mark, or gives the
// "型が異常です(...)" error when currentType is not in the family.
RadioDialogStart StartTypeChoice(const TypeFamily& family, AppState& state);
// WM_COMMAND by control id: a radio click stores its type in chosenType; OK ends with 1 keeping
// the choice; CANCEL puts chosenType back to currentType and ends with 2.
DialogCommandOutcome TypeChoiceCommand(const TypeFamily& family, AppState& state, int controlId);
