#include "dialogs/type_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/settings_choice.h"

namespace {

TEST(TypeChoice, FamiliesByWidth) {
  const std::vector<std::pair<TypeCode, DialogId>> members = {
      {TypeCode::UByte, DialogId::ByteType}, {TypeCode::SByte, DialogId::ByteType},
      {TypeCode::XByte, DialogId::ByteType}, {TypeCode::UWord, DialogId::WordType},
      {TypeCode::SWord, DialogId::WordType}, {TypeCode::XWord, DialogId::WordType},
      {TypeCode::ULong, DialogId::LongType}, {TypeCode::SLong, DialogId::LongType},
      {TypeCode::XLong, DialogId::LongType}};
  for (auto [type, dialog] : members) {
    ASSERT_TRUE(FamilyOfType(type)) << static_cast<int>(type);
    EXPECT_EQ(FamilyOfType(type)->dialog, dialog);
    EXPECT_EQ(FamilyOfDialog(dialog)->base, FamilyOfType(type)->base);
  }
  for (int code : {0, 4, 11, -1, 1000}) EXPECT_FALSE(FamilyOfType(static_cast<TypeCode>(code)));
  EXPECT_FALSE(FamilyOfDialog(DialogId::Settings));
}

// Opens the dialog of `family` for a column of `current`, clicks, and returns the result.
int RunTypeDialog(AppState& state, TypeCode current, std::vector<int> clicks, int* marked = nullptr) {
  state.currentType = current;
  const TypeFamily family = *FamilyOfType(current);
  const RadioDialogStart start = StartTypeChoice(family, state);
  if (marked) *marked = start.checkedRadio;
  for (int id : clicks) {
    const DialogCommandOutcome outcome = TypeChoiceCommand(family, state, id);
    EXPECT_TRUE(outcome.handled);
    if (outcome.endResult != 0) return outcome.endResult;
  }
  return 0;
}

TEST(TypeChoice, MarksTheCurrentTypeAndKeepsTheLastClick) {
  AppState state;
  int marked = 0;
  EXPECT_EQ(RunTypeDialog(state, TypeCode::XWord, {1}, &marked), 1);
  EXPECT_EQ(marked, 143);
  EXPECT_EQ(state.chosenType, TypeCode::XWord);

  EXPECT_EQ(RunTypeDialog(state, TypeCode::UByte, {142, 143, 1}, &marked), 1);
  EXPECT_EQ(marked, 141);
  EXPECT_EQ(state.chosenType, TypeCode::XByte);

  EXPECT_EQ(RunTypeDialog(state, TypeCode::UByte, {142, 2}), 2);
  EXPECT_EQ(state.chosenType, TypeCode::UByte);

  // An earlier choice never carries into a later opening.
  EXPECT_EQ(RunTypeDialog(state, TypeCode::SLong, {143}, &marked), 0);
  EXPECT_EQ(marked, 142);
  EXPECT_EQ(RunTypeDialog(state, TypeCode::ULong, {1}), 1);
  EXPECT_EQ(state.chosenType, TypeCode::ULong);

  const TypeFamily bytes = *FamilyOfType(TypeCode::UByte);
  EXPECT_FALSE(TypeChoiceCommand(bytes, state, 144).handled);
  EXPECT_FALSE(TypeChoiceCommand(bytes, state, 0).handled);
}

TEST(TypeChoice, ATypeOutsideTheFamilyIsReported) {
  AppState state;
  state.chosenType = TypeCode::SByte;
  for (auto [current, text] : {std::pair{TypeCode::String, "型が異常です(4)"},
                               std::pair{TypeCode::UWord, "型が異常です(5)"},
                               std::pair{static_cast<TypeCode>(-7), "型が異常です(-7)"}}) {
    state.currentType = current;
    const RadioDialogStart start = StartTypeChoice(*FamilyOfType(TypeCode::UByte), state);
    EXPECT_EQ(start.checkedRadio, 0);
    EXPECT_TRUE(start.endsAtOnce);
    EXPECT_EQ(start.errorText, text);
    EXPECT_EQ(state.chosenType, current);
  }
  EXPECT_EQ(kDialogErrorCaption, "Error!");
}

TEST(SettingsChoice, RadiosWriteNoBaseAtOnce) {
  AppState state;
  EXPECT_EQ(StartSettingsChoice(state).checkedRadio, 141);
  EXPECT_EQ(SettingsChoiceCommand(state, 142).endResult, 0);
  EXPECT_EQ(state.noBase, 1);
  EXPECT_EQ(StartSettingsChoice(state).checkedRadio, 142);
  EXPECT_EQ(SettingsChoiceCommand(state, 2).endResult, 2);  // CANCEL does not undo
  EXPECT_EQ(state.noBase, 1);
  EXPECT_EQ(SettingsChoiceCommand(state, 141).endResult, 0);
  EXPECT_EQ(SettingsChoiceCommand(state, 1).endResult, 1);
  EXPECT_EQ(state.noBase, 0);
  EXPECT_FALSE(SettingsChoiceCommand(state, 143).handled);

  for (auto [noBase, text] : {std::pair{2, "No.初期数設定値が異常です(2)"},
                              std::pair{-1, "No.初期数設定値が異常です(-1)"}}) {
    state.noBase = noBase;
    const RadioDialogStart start = StartSettingsChoice(state);
    EXPECT_EQ(start.checkedRadio, 0);
    EXPECT_TRUE(start.endsAtOnce);
    EXPECT_EQ(start.errorText, text);
  }
}

}  // namespace
