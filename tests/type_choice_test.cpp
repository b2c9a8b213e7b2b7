#include "dialogs/type_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/settings_choice.h"

namespace {

using enum TypeCode;

TEST(TypeChoice, FamiliesByWidth) {
  for (auto [type, family] : {std::pair{UByte, TypeFamily::Byte}, {SByte, TypeFamily::Byte},
                              {XByte, TypeFamily::Byte}, {UWord, TypeFamily::Word},
                              {SWord, TypeFamily::Word}, {XWord, TypeFamily::Word},
                              {ULong, TypeFamily::Long}, {SLong, TypeFamily::Long},
                              {XLong, TypeFamily::Long}}) {
    EXPECT_EQ(FamilyOfType(type), family) << static_cast<int>(type);
  }
  for (int code : {0, 4, 11, -1, 1000}) EXPECT_FALSE(FamilyOfType(static_cast<TypeCode>(code)));
}

TEST(TypeChoice, MarksTheCurrentTypeAndKeepsTheLastClick) {
  const struct {
    TypeFamily family;
    TypeCode current;
    std::vector<int> clicks;
    int marked;
    std::optional<DialogEnd> end;
    TypeCode chosen;
  } cases[] = {
      {TypeFamily::Word, XWord, {1}, 143, DialogEnd::Ok, XWord},
      {TypeFamily::Byte, UByte, {142, 143, 1}, 141, DialogEnd::Ok, XByte},
      {TypeFamily::Byte, UByte, {142, 2}, 141, DialogEnd::Cancel, UByte},
      {TypeFamily::Long, SLong, {143}, 142, std::nullopt, XLong},
      {TypeFamily::Long, ULong, {141, 1}, 141, DialogEnd::Ok, ULong},
  };
  for (const auto& c : cases) {
    // A stale choice never carries into an opening.
    TypeChoice choice{c.family, c.current, SWord};
    EXPECT_EQ(StartTypeChoice(choice).checkedRadio, c.marked);
    std::optional<DialogEnd> end;
    for (int id : c.clicks) {
      const DialogCommandOutcome outcome = TypeChoiceCommand(choice, id);
      EXPECT_TRUE(outcome.handled);
      end = outcome.end;
    }
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(choice.chosen, c.chosen);
  }
  TypeChoice byte{TypeFamily::Byte, UByte, UByte};
  for (int id : {0, 144, 140}) EXPECT_FALSE(TypeChoiceCommand(byte, id).handled);

  for (auto [current, text] : {std::pair{String, "型が異常です(4)"}, {UWord, "型が異常です(5)"},
                               {static_cast<TypeCode>(-7), "型が異常です(-7)"}}) {
    TypeChoice choice{TypeFamily::Byte, current, SByte};
    const RadioDialogStart start = StartTypeChoice(choice);
    EXPECT_EQ(start.checkedRadio, 0);
    EXPECT_TRUE(start.endsAtOnce);
    EXPECT_EQ(start.errorText, text);
  }
}

TEST(SettingsChoice, RadiosWriteNoBaseAtOnceAndAnAbnormalOneEndsTheDialog) {
  std::int32_t noBase = 0;
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, 141);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 142).end, std::nullopt);
  EXPECT_EQ(noBase, 1);
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, 142);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 2).end, DialogEnd::Cancel);  // does not undo
  EXPECT_EQ(noBase, 1);
  SettingsChoiceCommand(noBase, 141);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 1).end, DialogEnd::Ok);
  EXPECT_EQ(noBase, 0);
  EXPECT_FALSE(SettingsChoiceCommand(noBase, 143).handled);

  const RadioDialogStart start = StartSettingsChoice(-3);
  EXPECT_EQ(start.checkedRadio, 0);
  EXPECT_TRUE(start.endsAtOnce);
  EXPECT_EQ(start.errorText, "No.初期数設定値が異常です(-3)");
}

}  // namespace
