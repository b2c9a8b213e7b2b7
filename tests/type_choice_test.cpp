#include "dialogs/type_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/settings_choice.h"

namespace {

using enum TypeCode;

TEST(TypeChoice, FamiliesByWidth) {
  const std::vector<std::optional<TypeFamily>> families = {
      std::nullopt,     TypeFamily::Byte, TypeFamily::Byte, TypeFamily::Byte,
      std::nullopt,     TypeFamily::Word, TypeFamily::Word, TypeFamily::Word,
      TypeFamily::Long, TypeFamily::Long, TypeFamily::Long, std::nullopt};
  for (int code = 0; code < 12; ++code)
    EXPECT_EQ(FamilyOfType(static_cast<TypeCode>(code)), families[code]) << code;
  EXPECT_FALSE(FamilyOfType(static_cast<TypeCode>(-1)));
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
      {TypeFamily::Long, SLong, {143, 0, 144}, 142, std::nullopt, XLong},
      {TypeFamily::Long, ULong, {141, 1}, 141, DialogEnd::Ok, ULong},
      {TypeFamily::Byte, UWord, {}, 0, std::nullopt, UWord},
  };
  for (const auto& c : cases) {
    TypeChoice choice{c.family, c.current, SWord};  // a stale choice never carries over
    const RadioDialogStart start = StartTypeChoice(choice);
    EXPECT_EQ(start.checkedRadio, c.marked);
    EXPECT_EQ(start.endsAtOnce, c.marked == 0);
    std::optional<DialogEnd> end;
    for (int id : c.clicks) {
      const DialogCommandOutcome outcome = TypeChoiceCommand(choice, id);
      EXPECT_EQ(outcome.handled, id > 0 && id < 144);
      end = outcome.end;
    }
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(choice.chosen, c.chosen);
  }
  TypeChoice odd{TypeFamily::Byte, static_cast<TypeCode>(-7), UByte};
  EXPECT_EQ(StartTypeChoice(odd).errorText, "型が異常です(-7)");
}

TEST(SettingsChoice, RadiosWriteNoBaseAtOnceAndAnAbnormalOneEndsTheDialog) {
  std::int32_t noBase = 0;
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, 141);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 142).end, std::nullopt);
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, 142);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 2).end, DialogEnd::Cancel);  // does not undo
  EXPECT_EQ(noBase, 1);
  SettingsChoiceCommand(noBase, 141);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 1).end, DialogEnd::Ok);
  EXPECT_EQ(noBase, 0);
  EXPECT_FALSE(SettingsChoiceCommand(noBase, 143).handled);
  const RadioDialogStart start = StartSettingsChoice(-3);
  EXPECT_EQ(std::tuple(start.checkedRadio, start.endsAtOnce, start.errorText),
            std::tuple(0, true, std::string("No.初期数設定値が異常です(-3)")));
}

}  // namespace
