// The portable choice logic of the dialogs, and the main window's layout.
#include "app/layout.h"
#include "dialogs/export_choice.h"
#include "dialogs/settings_choice.h"
#include "dialogs/type_choice.h"
#include "test_support.h"

namespace {

using enum TypeCode;

TEST(TypeChoice, MarksTheCurrentTypeAndKeepsTheLastClick) {
  const struct {
    TypeFamily family;
    TypeCode current;
    std::vector<int> clicks;
    int marked;
    std::optional<DialogEnd> end;
    TypeCode chosen;
  } cases[] = {{TypeFamily::Word, XWord, {1}, 143, DialogEnd::Ok, XWord},
               {TypeFamily::Byte, UByte, {142, 143, 1}, 141, DialogEnd::Ok, XByte},
               {TypeFamily::Byte, UByte, {142, 2}, 141, DialogEnd::Cancel, UByte},
               {TypeFamily::Long, SLong, {143, 0, 144}, 142, std::nullopt, XLong},
               {TypeFamily::Long, ULong, {141, 1}, 141, DialogEnd::Ok, ULong},
               {TypeFamily::Byte, UWord, {}, 0, std::nullopt, UWord}};
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
  EXPECT_TRUE(SettingsChoiceCommand(noBase, 141).handled);
  EXPECT_EQ(SettingsChoiceCommand(noBase, 1).end, DialogEnd::Ok);
  EXPECT_EQ(noBase, 0);
  EXPECT_FALSE(SettingsChoiceCommand(noBase, 143).handled);
  const RadioDialogStart start = StartSettingsChoice(-3);
  EXPECT_EQ(std::tuple(start.checkedRadio, start.endsAtOnce, start.errorText),
            std::tuple(0, true, std::string("No.初期数設定値が異常です(-3)")));
}

TEST(ExportChoice, OffersAndStoresTheListedColumnsButNeverPastTheColumnList) {
  using Labels = std::vector<std::string>;
  const ColumnList two = Records({{UByte, "m0", 1}, {UByte, "m1", 1}}).columns;
  EXPECT_EQ(ExportColumnLabels(two, 3), (Labels{"No.", "Address", "m0", "m1"}));
  EXPECT_EQ(ExportColumnLabels(two, 1), (Labels{"No.", "Address"}));
  EXPECT_EQ(ExportColumnLabels(two, -1), Labels{});
  // After a failed table initialisation the list has more columns than the ColumnList.
  EXPECT_EQ(ExportColumnLabels(Records({{UByte, "m0", 1}}).columns, 9),
            (Labels{"No.", "Address", "m0"}));

  const ExportChoice some =
      AcceptExportChoice("out.csv", 5, [](std::int32_t item) { return item != 1 && item != 3; });
  EXPECT_EQ(some.path, "out.csv");
  EXPECT_EQ(some.columns, (std::vector<std::int32_t>{0, 2, 4}));
  const ExportChoice cut =
      AcceptExportChoice(std::string(2000, 'p'), 2, [](auto) { return false; });
  EXPECT_EQ(cut.path, std::string(1023, 'p'));
  EXPECT_TRUE(cut.columns.empty());
}

TEST(Layout, ListAndStatusLineFollowTheClientArea) {
  const MainWindowLayout layout = LayoutMainWindow(800, 600);
  const auto [list, status] = std::pair{layout.recordList, layout.statusLine};
  EXPECT_EQ((std::array{list.x, list.y, list.width, list.height}), (std::array{0, 60, 800, 500}));
  EXPECT_EQ((std::array{status.x, status.y, status.width, status.height}),
            (std::array{0, 565, 800, 30}));
  const MainWindowLayout small = LayoutMainWindow(50, 40);
  EXPECT_EQ(small.recordList.height, -60);
  EXPECT_EQ(small.statusLine.y, 5);
}

}  // namespace
