// The portable choice logic of the dialogs.
#include "dialogs/export_choice.h"
#include "dialogs/settings_choice.h"
#include "dialogs/type_choice.h"
#include "test_support.h"

namespace {

using enum TypeCode;

constexpr int kOk = static_cast<int>(DialogEnd::Ok);
constexpr int kCancel = static_cast<int>(DialogEnd::Cancel);
constexpr int kUnsigned = IDC_TYPE_UNSIGNED;
constexpr int kSigned = IDC_TYPE_SIGNED;
constexpr int kHex = IDC_TYPE_HEX;

TEST(TypeChoice, MarksTheCurrentTypeAndKeepsTheLastClick) {
  const struct {
    TypeFamily family;
    TypeCode current;
    std::vector<int> clicks;
    int marked;
    std::optional<DialogEnd> end;
    TypeCode chosen;
  } cases[] = {{TypeFamily::Word, XWord, {kOk}, kHex, DialogEnd::Ok, XWord},
               {TypeFamily::Byte, UByte, {kSigned, kHex, kOk}, kUnsigned, DialogEnd::Ok, XByte},
               {TypeFamily::Byte, UByte, {kSigned, kCancel}, kUnsigned, DialogEnd::Cancel, UByte},
               {TypeFamily::Long, SLong, {kHex, 0, kHex + 1}, kSigned, std::nullopt, XLong},
               {TypeFamily::Long, ULong, {kUnsigned, kOk}, kUnsigned, DialogEnd::Ok, ULong},
               {TypeFamily::Byte, UWord, {}, 0, std::nullopt, UWord}};
  for (const auto& c : cases) {
    TypeChoice choice{c.family, c.current, SWord};  // a stale choice never carries over
    const RadioDialogStart start = StartTypeChoice(choice);
    EXPECT_EQ(start.checkedRadio, c.marked);
    EXPECT_EQ(start.endsAtOnce, c.marked == 0);
    std::optional<DialogEnd> end;
    for (int id : c.clicks) {
      const DialogCommandOutcome outcome = TypeChoiceCommand(choice, id);
      EXPECT_EQ(outcome.handled, id != 0 && id != kHex + 1);
      end = outcome.end;
    }
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(choice.chosen, c.chosen);
  }
}

TEST(TypeChoice, ATypeOutsideTheFamiliesIsReportedByItsCode) {
  TypeChoice odd{TypeFamily::Byte, static_cast<TypeCode>(-7), UByte};
  EXPECT_EQ(StartTypeChoice(odd).errorText, "型が異常です(-7)");
}

TEST(SettingsChoice, RadiosWriteNoBaseAtOnceAndCancelDoesNotUndo) {
  std::int32_t noBase = 0;
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, IDC_NO_BASE_ZERO);
  EXPECT_EQ(SettingsChoiceCommand(noBase, IDC_NO_BASE_ONE).end, std::nullopt);
  EXPECT_EQ(StartSettingsChoice(noBase).checkedRadio, IDC_NO_BASE_ONE);
  EXPECT_EQ(SettingsChoiceCommand(noBase, kCancel).end, DialogEnd::Cancel);
  EXPECT_EQ(noBase, 1);
  EXPECT_TRUE(SettingsChoiceCommand(noBase, IDC_NO_BASE_ZERO).handled);
  EXPECT_EQ(SettingsChoiceCommand(noBase, kOk).end, DialogEnd::Ok);
  EXPECT_EQ(noBase, 0);
  EXPECT_FALSE(SettingsChoiceCommand(noBase, IDC_NO_BASE_ONE + 1).handled);
}

TEST(SettingsChoice, AnAbnormalNoBaseEndsTheDialogAtOnce) {
  const RadioDialogStart start = StartSettingsChoice(-3);
  EXPECT_EQ(start.checkedRadio, 0);
  EXPECT_TRUE(start.endsAtOnce);
  EXPECT_EQ(start.errorText, "No.初期数設定値が異常です(-3)");
}

TEST(ExportChoice, OffersTheListedColumnsButNeverPastTheColumnList) {
  using Labels = std::vector<std::string>;
  const ColumnList two = Records({{UByte, "m0", 1}, {UByte, "m1", 1}}).columns;
  EXPECT_EQ(ExportColumnLabels(two, 3), (Labels{"No.", "Address", "m0", "m1"}));
  EXPECT_EQ(ExportColumnLabels(two, -1), Labels{});
  // After a failed table initialisation the list has more columns than the ColumnList.
  EXPECT_EQ(ExportColumnLabels(Records({{UByte, "m0", 1}}).columns, 9),
            (Labels{"No.", "Address", "m0"}));
}

TEST(ExportChoice, OkTakesTheCheckedItemsAndThePathCutToTheField) {
  const ExportChoice some =
      AcceptExportChoice("out.csv", 5, [](std::int32_t item) { return item != 1 && item != 3; });
  EXPECT_EQ(some.path, "out.csv");
  EXPECT_EQ(some.columns, (std::vector<std::int32_t>{0, 2, 4}));
  const ExportChoice cut =
      AcceptExportChoice(std::string(2000, 'p'), 2, [](auto) { return false; });
  EXPECT_EQ(cut.path, std::string(1023, 'p'));
  EXPECT_TRUE(cut.columns.empty());
}

}  // namespace
