#include "dialogs/type_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/settings_choice.h"

namespace {

using enum TypeCode;

TEST(TypeChoice, FamiliesByWidth) {
  for (auto [type, dialog] : {std::pair{UByte, DialogId::ByteType}, {SByte, DialogId::ByteType},
                              {XByte, DialogId::ByteType}, {UWord, DialogId::WordType},
                              {SWord, DialogId::WordType}, {XWord, DialogId::WordType},
                              {ULong, DialogId::LongType}, {SLong, DialogId::LongType},
                              {XLong, DialogId::LongType}}) {
    ASSERT_TRUE(FamilyOfType(type)) << static_cast<int>(type);
    EXPECT_EQ(FamilyOfType(type)->dialog, dialog);
    EXPECT_EQ(FamilyOfDialog(dialog)->base, FamilyOfType(type)->base);
  }
  for (int code : {0, 4, 11, -1, 1000}) EXPECT_FALSE(FamilyOfType(static_cast<TypeCode>(code)));
  EXPECT_FALSE(FamilyOfDialog(DialogId::Settings));
}

TEST(TypeChoice, MarksTheCurrentTypeAndKeepsTheLastClick) {
  // An earlier choice never carries into a later opening: one state for all.
  AppState state;
  const struct {
    TypeCode current;
    std::vector<int> clicks;
    int marked, result;
    TypeCode chosen;
  } cases[] = {
      {XWord, {1}, 143, 1, XWord},
      {UByte, {142, 143, 1}, 141, 1, XByte},
      {UByte, {142, 2}, 141, 2, UByte},
      {SLong, {143}, 142, 0, XLong},
      {ULong, {1}, 141, 1, ULong},
  };
  for (const auto& c : cases) {
    state.currentType = c.current;
    const TypeFamily family = *FamilyOfType(c.current);
    EXPECT_EQ(StartTypeChoice(family, state).checkedRadio, c.marked);
    int result = 0;
    for (int id : c.clicks) {
      const DialogCommandOutcome outcome = TypeChoiceCommand(family, state, id);
      EXPECT_TRUE(outcome.handled);
      result = outcome.endResult;
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(state.chosenType, c.chosen);
  }
  EXPECT_FALSE(TypeChoiceCommand(*FamilyOfType(UByte), state, 144).handled);
  EXPECT_FALSE(TypeChoiceCommand(*FamilyOfType(UByte), state, 0).handled);

  state.chosenType = SByte;
  for (auto [current, text] : {std::pair{String, "型が異常です(4)"}, {UWord, "型が異常です(5)"},
                               {static_cast<TypeCode>(-7), "型が異常です(-7)"}}) {
    state.currentType = current;
    const RadioDialogStart start = StartTypeChoice(*FamilyOfType(UByte), state);
    EXPECT_EQ(start.checkedRadio, 0);
    EXPECT_TRUE(start.endsAtOnce);
    EXPECT_EQ(start.errorText, text);
    EXPECT_EQ(state.chosenType, current);
  }
}

// The settings dialog's answer to an abnormal noBase is checked through its flow.
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
}

}  // namespace
